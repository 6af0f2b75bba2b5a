#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks it as a distribution would: the file list, the validators of
# the menu entry and the AppStream file, the manual pages, the shell completion, and that the installed command-line
# program, with a home of its own, finds the language files under its prefix.
#   install-layout.sh SOURCE_DIR BUILD_DIR GUI(ON|OFF)
set -euo pipefail
source_dir=$1
build_dir=$2
gui=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

DESTDIR=$work/root cmake --install "$build_dir" --prefix /usr --strip >/dev/null
prefix=$work/root/usr

expected=(
    bin/lockmere-cli
    share/bash-completion/completions/lockmere-cli
    share/doc/lockmere/README.md share/doc/lockmere/changelog.gz share/doc/lockmere/copyright
    share/lockmere/Readme.txt
    share/man/man1/lockmere-cli.1.gz
)
for language_file in "$source_dir"/resources/lang/*.lng; do
    expected+=("share/lockmere/$(basename "$language_file")")
done
# The portable copy, file for file, where the portable installer finds it from bin, and what lintian is told of it.
portable=$build_dir/portable/Lockmere
if [[ -d $portable ]]; then
    expected+=(share/lintian/overrides/lockmere)
    while IFS= read -r file; do
        expected+=("lib/lockmere/portable/$file")
    done < <(cd "$portable" && find . -type f | sed 's|^\./||')
fi
sizes=(16 32 48 64 128 256)
if [[ $gui == ON ]]; then
    expected+=(
        bin/lockmere
        share/applications/com.tavilo.lockmere.desktop
        share/icons/hicolor/scalable/apps/lockmere.svg
        share/man/man1/lockmere.1.gz
        share/metainfo/com.tavilo.lockmere.metainfo.xml
        share/mime/packages/lockmere.xml
    )
    for size in "${sizes[@]}"; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/lockmere.png")
    done
fi
diff -u <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
    fail "the installed files differ from the expected list (- expected, + installed)"

for program in "$prefix"/bin/* "$prefix"/lib/lockmere/portable/Lockmere.exe; do
    [[ -e $program ]] || continue
    file --dereference "$program" | grep -q 'ELF.*, stripped' || fail "$program is no stripped program"
done
if [[ -d $portable ]]; then
    diff -r "$portable" "$prefix/lib/lockmere/portable" >/dev/null ||
        fail "the installed portable copy is not the built one"
    [[ -x $prefix/lib/lockmere/portable/Lockmere && -x $prefix/lib/lockmere/portable/Lockmere.exe ]] ||
        fail "the portable copy's launcher or program lost its execute permission"
fi

pages=("$prefix"/share/man/man1/*.1.gz)
for page in "${pages[@]}"; do
    name=$(basename "$page" .1.gz)
    rendered=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>"$work/man-warnings")
    [[ ! -s $work/man-warnings ]] || fail "man reports for $name: $(cat "$work/man-warnings")"
    grep -q "^NAME" <<<"$rendered" || fail "$name.1 renders without a NAME section"
    grep -Eq "^ +$name +- " <<<"$rendered" || fail "$name.1 names another program"
done

if [[ $gui == ON ]]; then
    desktop-file-validate "$prefix/share/applications/com.tavilo.lockmere.desktop" >"$work/desktop" ||
        fail "desktop-file-validate refuses the menu entry: $(cat "$work/desktop")"
    appstreamcli validate --no-net "$prefix/share/metainfo/com.tavilo.lockmere.metainfo.xml" >"$work/appstream" ||
        fail "appstreamcli refuses the metainfo file: $(cat "$work/appstream")"
    grep -q '^Exec=lockmere %f$' "$prefix/share/applications/com.tavilo.lockmere.desktop" ||
        fail "the menu entry does not hand the program the file it opens"
    grep -q '^MimeType=application/x-lockmere-database;$' "$prefix/share/applications/com.tavilo.lockmere.desktop" ||
        fail "the menu entry does not open database files"
    # The desktop's own tools learn the type from the installed package file and give it to *.ldb files.
    mkdir -p "$work/mime/packages"
    cp "$prefix/share/mime/packages/lockmere.xml" "$work/mime/packages/"
    XDG_DATA_HOME=$work XDG_DATA_DIRS=$work update-mime-database "$work/mime" 2>"$work/mime-warnings" || fail "update-mime-database refuses lockmere.xml"
    [[ ! -s $work/mime-warnings ]] || fail "update-mime-database reports: $(cat "$work/mime-warnings")"
    grep -qx 'application/x-lockmere-database:\*\.ldb' "$work/mime/globs" || fail "*.ldb is not a Lockmere database"
    grep -qx 'application/x-lockmere-database:lockmere' "$work/mime/icons" || fail "the type has not our icon"
    for size in "${sizes[@]}"; do
        icon=$prefix/share/icons/hicolor/${size}x${size}/apps/lockmere.png
        file "$icon" | grep -q "PNG image data, $size x $size," ||
            fail "the ${size}x${size} icon is no PNG of that size"
    done
fi

# The installed program with nothing but a home holding settings that choose German.
home=$work/home
mkdir -p "$home/.config/Tavilo"
printf '<?xml version="1.0"?>\n<Options><Language>German</Language></Options>\n' >"$home/.config/Tavilo/Lockmere.xml"
run_cli() {
    env -i HOME="$home" PATH=/usr/bin:/bin "$prefix/bin/lockmere-cli" "$@"
}
printf 'pw\npw\n' | run_cli create "$work/test.ldb" >/dev/null 2>&1 ||
    fail "the installed lockmere-cli cannot create a database"
status=0
message=$(echo wrong | run_cli ls "$work/test.ldb" 2>&1 >/dev/null) || status=$?
[[ $status -eq 3 && $message == *"Ungültiges Passwort." ]] ||
    fail "a wrong password gave status $status and '$message', not the German message of the installed language file"

# The completion offers the installed program's commands and a command's options, and the generated manual page,
# made from the same help, describes every one of those commands.
completions=$(
    PATH=$prefix/bin:$PATH bash -c '
        source "$1"
        COMP_WORDS=(lockmere-cli ""); COMP_CWORD=1; _lockmere_cli; echo "${COMPREPLY[*]}"
        COMP_WORDS=(lockmere-cli add db --u); COMP_CWORD=3; _lockmere_cli; echo "${COMPREPLY[*]}"
        COMP_WORDS=(lockmere-cli add db -); COMP_CWORD=3; _lockmere_cli; echo "${COMPREPLY[*]}"
        COMP_WORDS=(lockmere-cli export db --format ""); COMP_CWORD=4; _lockmere_cli; echo "${COMPREPLY[*]}"
        COMP_WORDS=(lockmere-cli import db file --from ""); COMP_CWORD=5; _lockmere_cli; echo "${COMPREPLY[*]}"
    ' completion "$prefix/share/bash-completion/completions/lockmere-cli"
)
commands=$(head -1 <<<"$completions")
for command in create ls add; do
    [[ " $commands " == *" $command "* ]] || fail "the command $command is not completed: $completions"
done
cli_page=$(MANWIDTH=200 man -l "$prefix/share/man/man1/lockmere-cli.1.gz")
for command in $commands; do
    [[ $command == --help ]] || grep -Eq "(^|[[:space:]])$command([[:space:]]|$)" <<<"$cli_page" ||
        fail "lockmere-cli.1 lacks the command $command"
done
[[ " $commands " == *" --version "* ]] || fail "--version is not completed: $commands"
[[ $(sed -n 2p <<<"$completions") == *--url*--username* ]] || fail "no options of add completed: $completions"
[[ " $(sed -n 3p <<<"$completions") " == *" -q "* ]] || fail "-q is not completed for add: $completions"
[[ $(sed -n 4p <<<"$completions") == "csv csv-standard txt html kdbx" ]] || fail "the formats of export are not completed: $completions"
[[ $(sed -n 5p <<<"$completions") == "keepassxc chrome firefox bitwarden 1password lastpass apple dashlane protonpass auto kdbx" ]] ||
    fail "the formats of import --from are not completed: $completions"

# Each command's synopsis, wrapped at the terminal's width in the help, is one paragraph of the manual page: on a
# page wide enough it reads as one line from the command's name to its last option.
wide_page=$(LC_ALL=C MANWIDTH=400 man -l "$prefix/share/man/man1/lockmere-cli.1.gz" 2>/dev/null)
for synopsis in "add DB GROUP TITLE .*--special\\]\\]$" "edit DB GROUP TITLE .*--special\\]\\]$" \
    "export DB --format csv\\|csv-standard\\|txt\\|html .*--format kdbx -o FILE$" "import DB FILE .*--key-file F\\] \\[--no-skip-identical\\]$"; do
    grep -Eq "^ +$synopsis" <<<"$wide_page" || fail "lockmere-cli.1 splits the synopsis /$synopsis/"
done
echo "installation checked: ${#expected[@]} files"
