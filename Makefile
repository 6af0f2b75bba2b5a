# Two commands do the whole set-up: `make run` and `make test` (see README.md).
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: deps configure build run test install package portable test-asan fuzz-smoke bench clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run-gui.sh $(BUILD_DIR)/bin/lockmere

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The stripped programs and their files under PREFIX, after the desktop conventions; DESTDIR is honoured.
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX) --strip

# The portable copy in build/portable/Lockmere, to copy to a USB drive as it is (every build makes it too).
portable: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target portable

# A Debian package of the build (lockmere_VERSION_ARCH.deb in the build folder).
package: build
	@cd $(BUILD_DIR) && cpack

# The tests that need no GUI again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLOCKMERE_SANITIZE=ON \
		-DLOCKMERE_GUI=OFF -DLOCKMERE_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Every fuzz target for a short while, one after the other (see docs/robustness.md for the long runs).
fuzz-smoke: deps
	@FUZZ_BUILD_DIR=$(FUZZ_BUILD_DIR) JOBS=$(JOBS) bash scripts/fuzz.sh all $(FUZZ_SECONDS)

bench: build
	@$(BUILD_DIR)/bin/lockmere_bench
	@if [ -x $(BUILD_DIR)/bin/lockmere_gui_bench ]; then $(BUILD_DIR)/bin/lockmere_gui_bench; fi

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(FUZZ_BUILD_DIR)
