#!/usr/bin/env bash
# Makes a fresh 64-bit Wine prefix in a new temporary folder and prints its path:
# make-prefix.sh BUILD_DIR. Wine has no SimSun, the note's 宋体: AR PL UMing, a Song face with
# TrueType outlines and half-width Latin as SimSun has, stands in for SimSun, NSimSun and 宋体.
# Its file comes out of Debian's fonts-arphic-uming into BUILD_DIR/fonts/, without installing
# the package: its fontconfig rules would change the serif faces of the Linux builds.
set -euo pipefail
build=$(cd "${1:?usage: make-prefix.sh BUILD_DIR}" && pwd)
font=$build/fonts/uming.ttc
if [ ! -s "$font" ]; then
    fetch=$(mktemp -d)
    # apt fetches as its own user, which must be able to write there.
    chmod 0777 "$fetch"
    (cd "$fetch" && { apt-get download -q fonts-arphic-uming || {
        apt-get update -q && apt-get download -q fonts-arphic-uming
    }; } >/dev/null)
    dpkg-deb -x "$fetch"/fonts-arphic-uming_*.deb "$fetch/files"
    mkdir -p "$build/fonts"
    # Renamed into place: the two halves of the test run make their prefixes side by side.
    cp "$fetch/files/usr/share/fonts/truetype/arphic/uming.ttc" "$font.$$"
    mv "$font.$$" "$font"
    rm -rf "$fetch"
fi
prefix=$(mktemp -d "${TMPDIR:-/tmp}/wine-prefix.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer dialogs (the program needs neither), no Linux menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot --init >/dev/null 2>&1
wineserver -w
# Wine links the user's Desktop, Documents and the like to the Linux home: the prefix gets folders
# of its own, so that nothing a test writes there lands in the home. (winemenubuilder, which would
# copy Start-menu entries into the Linux menus, is switched off above.)
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm "$link"
        mkdir "$link"
    fi
done
cp "$font" "$prefix/drive_c/windows/Fonts/"
# A registry file in UTF-16, so that the Chinese names survive the console's code page.
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in SimSun NSimSun 宋体 新宋体; do
        printf '"%s"="AR PL UMing CN"\r\n' "$face"
    done
} | iconv -f UTF-8 -t UTF-16 >"$prefix/fonts.reg"
wine regedit /S "Z:${prefix//\//\\}\\fonts.reg" >/dev/null 2>&1
rm "$prefix/fonts.reg"
wineserver -w
echo "$prefix"
