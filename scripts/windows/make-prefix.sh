#!/usr/bin/env bash
# Makes a fresh 64-bit Wine prefix in a new temporary folder and prints its path. Wine has no
# SimSun, the note's 宋体: Noto Serif CJK (Debian fonts-noto-cjk) goes into the prefix's fonts
# and stands in for SimSun, NSimSun and 宋体.
set -euo pipefail
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
font=/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc
[ -f "$font" ] || { echo "make-prefix.sh: $font missing (Debian fonts-noto-cjk)" >&2; exit 1; }
cp "$font" "$prefix/drive_c/windows/Fonts/"
# A registry file in UTF-16, so that the Chinese names survive the console's code page.
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in SimSun NSimSun 宋体 新宋体; do
        printf '"%s"="Noto Serif CJK SC"\r\n' "$face"
    done
} | iconv -f UTF-8 -t UTF-16 >"$prefix/fonts.reg"
wine regedit /S "Z:${prefix//\//\\}\\fonts.reg" >/dev/null 2>&1
rm "$prefix/fonts.reg"
wineserver -w
echo "$prefix"
