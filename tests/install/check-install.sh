#!/usr/bin/env bash
# check-install.sh BUILD VERSION APP_ID GUI: installs the build into a scratch
# root as the package does (DESTDIR, prefix /usr) and checks what lands there:
# exactly the files the install rules should produce, the installed programs'
# version, the desktop entry and the AppStream file as their validators see
# them, icons of the size their folders name, and manual pages that format
# without warnings and name every command and option of the help texts.
# GUI is ON when the window was built.
set -euo pipefail
build=$1 version=$2 id=$3 gui=$4

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failed=0
problem() {
  echo "FAIL: $*" >&2
  failed=1
}

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

expected=(usr/bin/tolvan-cli usr/share/man/man1/tolvan-cli.1.gz)
if [ "$gui" = ON ]; then
  expected+=(usr/bin/tolvan usr/share/man/man1/tolvan.1.gz
    "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/$id.svg")
  for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
  done
fi
if ! diff -u <(printf '%s\n' "${expected[@]}" | sort) \
    <(cd "$root" && find . \( -type f -o -type l \) -printf '%P\n' | sort); then
  problem "the installed files are not the expected ones (- expected, + installed)"
fi

# The programs answer without a display.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
[ "$("$root/usr/bin/tolvan-cli" --version)" = "tolvan-cli $version" ] || problem "tolvan-cli --version is not $version"
if [ "$gui" = ON ]; then
  [ "$("${no_display[@]}" "$root/usr/bin/tolvan" --version)" = "tolvan $version" ] || problem "tolvan --version is not $version"

  desktop=$root/usr/share/applications/$id.desktop
  desktop-file-validate "$desktop" || problem "desktop-file-validate refuses $id.desktop"
  grep -qx "Icon=$id" "$desktop" || problem "the desktop entry's icon is not $id"
  grep -qx "Exec=tolvan %f" "$desktop" || problem "the desktop entry does not start tolvan"

  metainfo=$root/usr/share/metainfo/$id.metainfo.xml
  appstreamcli validate --no-net "$metainfo" || problem "appstreamcli refuses $id.metainfo.xml"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || problem "the AppStream file does not launch $id.desktop"
  grep -q "<release version=\"$version\"" "$metainfo" || problem "the AppStream file has no release $version"

  for png in "$root"/usr/share/icons/hicolor/*x*/apps/"$id.png"; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    file -b "$png" | grep -q "^PNG image data, ${size%x*} x ${size#*x}," || problem "$png is not a $size PNG: $(file -b "$png")"
  done
fi

# page.gz PROGRAM: formats without warnings, carries the version, and names
# every option the program's help texts name (and for tolvan-cli every
# command).
check_man() {
  local page=$1 program=$2 help text warnings
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=200 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || problem "$(basename "$page") formats with warnings: $warnings"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null)
  grep -q "tolvan $version" <<<"$text" || problem "$(basename "$page") is not of version $version"
  for section in SYNOPSIS OPTIONS "EXIT STATUS" ENVIRONMENT FILES; do
    grep -q "^$section" <<<"$text" || problem "$(basename "$page") has no $section"
  done
  help=$("${no_display[@]}" "$program" --help)
  if [ "$(basename "$program")" = tolvan-cli ]; then
    for command in $(sed -n 's/^  tolvan-cli \([a-z]*\) .*/\1/p' <<<"$help"); do
      grep -q "tolvan-cli $command" <<<"$text" || problem "$(basename "$page") does not describe $command"
      help+=$'\n'$("$program" "$command" --help)
    done
  fi
  for option in $(grep -oE -- '(^|[[:space:][|,(])--?[a-z][a-z-]*' <<<"$help" | sed 's/^[^-]*//' | sort -u); do
    grep -q -- "$option\b" <<<"$text" || problem "$(basename "$page") does not name $option"
  done
}
check_man "$root/usr/share/man/man1/tolvan-cli.1.gz" "$root/usr/bin/tolvan-cli"
if [ "$gui" = ON ]; then
  check_man "$root/usr/share/man/man1/tolvan.1.gz" "$root/usr/bin/tolvan"
fi

[ "$failed" = 0 ] && echo "install: ${#expected[@]} files as expected, version $version"
exit "$failed"
