# SPDX-License-Identifier: GPL-3.0-or-later
# One interface target carries the warning and hardening flags, so every target gets the same ones.
add_library(lockmere_hardening INTERFACE)
target_compile_options(lockmere_hardening INTERFACE -Wall -Wextra -Wpedantic -fstack-protector-strong)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
target_link_options(lockmere_hardening INTERFACE -pie -Wl,-z,relro,-z,now -Wl,-z,noexecstack)

if(LOCKMERE_SANITIZE)
    target_compile_options(lockmere_hardening INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                        -fno-sanitize-recover=undefined)
    target_link_options(lockmere_hardening INTERFACE -fsanitize=address,undefined)
else()
    # _FORTIFY_SOURCE needs optimisation and conflicts with the sanitizers' own checks.
    target_compile_definitions(lockmere_hardening INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
