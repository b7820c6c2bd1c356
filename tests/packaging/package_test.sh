#!/usr/bin/env bash
# The Debian package end to end, made from this build's own binaries:
#  1. CPack builds kestrel_<version>_amd64.deb;
#  2. its files and modes: the layout, nothing world-writable, the links into
#     /var/lib/kestrel; lintian finds no error and no warning that the README
#     does not explain; appstreamcli and desktop-file-validate pass;
#  3. (root only) it is installed with dpkg -i; two members of the group
#     kestrel each start the installed kestrel offscreen and print one mailer
#     to the PDF fallback into the one log; a user outside the group is told
#     which group to join; removing keeps the log and the settings, purging
#     removes the package's folders and nothing else.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION PRINT_ROBOT_LIBRARY
# Exit status 77 (skipped) where the tools or the rights are missing.
set -euo pipefail
build=$1 source=$2 version=$3 robot=$4

skip() {
  echo "SKIPPED: $*"
  exit 77
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

command -v dpkg-deb >/dev/null || skip "dpkg-deb is missing: this machine makes no Debian packages"
for tool in cpack lintian appstreamcli desktop-file-validate help2man; do
  command -v "$tool" >/dev/null || skip "$tool is missing (bash scripts/install-deps.sh installs it)"
done
[[ -f $build/CPackConfig.cmake ]] || skip "this build makes no package"

work=$(mktemp -d /tmp/kestrel-package-test.XXXXXX)
chmod 755 "$work"
# What the installing part changed on the machine, kept where a run that was
# killed outright leaves it for the next run to put back.
state=/var/tmp/kestrel-package-test
put_machine_back() {
  [[ -d $state ]] || return 0
  if [[ -f $state/installed ]]; then dpkg --purge kestrel >/dev/null 2>&1; fi
  if [[ -f $state/users ]]; then
    while read -r user; do userdel "$user" >/dev/null 2>&1; done <"$state/users"
  fi
  if [[ -f $state/Kestrel3.ini.before ]]; then
    mkdir -p /var/lib/kestrel
    cp -a "$state/Kestrel3.ini.before" /var/lib/kestrel/Kestrel3.ini
  fi
  if [[ -f $state/machine-folder-before ]]; then
    read -r mode owner group <"$state/machine-folder-before"
    mkdir -p /var/lib/kestrel
    chown "$owner:$group" /var/lib/kestrel
    chmod "$mode" /var/lib/kestrel
  fi
  rm -rf "$state"
}
cleanup() {
  set +e
  if [[ $(id -u) == 0 ]]; then put_machine_back; fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- 1. The package --------------------------------------------------------
# The manual pages are made with the build; they are there when the build is.
cmake --build "$build" --target kestrel_package_documents >"$work/build.log" 2>&1 ||
  { cat "$work/build.log"; fail "the package's documents could not be made"; }
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/kestrel_${version}_amd64.deb
[[ -f $deb ]] || { ls "$work/out"; fail "no kestrel_${version}_amd64.deb"; }
echo "built $(basename "$deb")"

# --- 2. What is in it --------------------------------------------------------
dpkg-deb -c "$deb" >"$work/contents"
expected=(
  "./usr/bin/kestrel -> ../lib/kestrel/kestrel"
  "./usr/bin/kestrel-dbf"
  "./usr/bin/kestrel-render"
  "./usr/lib/kestrel/kestrel"
  "./usr/lib/kestrel/Kestrel3.rav"
  "./usr/lib/kestrel/Kestrel3.html"
  "./usr/lib/kestrel/Reports -> /var/lib/kestrel/Reports"
  "./usr/lib/kestrel/Printed -> /var/lib/kestrel/Printed"
  "./usr/lib/kestrel/Addresses -> /var/lib/kestrel/Addresses"
  "./usr/share/applications/com.example.brightwater.Kestrel.desktop"
  "./usr/share/metainfo/com.example.brightwater.Kestrel.metainfo.xml"
  "./usr/share/icons/hicolor/48x48/apps/kestrel.png"
  "./usr/share/icons/hicolor/64x64/apps/kestrel.png"
  "./usr/share/icons/hicolor/128x128/apps/kestrel.png"
  "./usr/share/icons/hicolor/256x256/apps/kestrel.png"
  "./usr/share/icons/hicolor/scalable/apps/kestrel.svg"
  "./usr/share/man/man1/kestrel.1.gz"
  "./usr/share/man/man1/kestrel-dbf.1.gz"
  "./usr/share/man/man1/kestrel-render.1.gz"
  "./usr/share/doc/kestrel/copyright"
  "./usr/share/doc/kestrel/changelog.gz"
)
for entry in "${expected[@]}"; do
  grep -qF -- " $entry" "$work/contents" || { cat "$work/contents"; fail "missing: $entry"; }
done
# Owned by root, nothing writable by others (links have no modes of their own),
# nothing set-user-ID, and nothing of the users' data: that is made at install.
awk '$1 !~ /^l/ && (substr($1, 9, 1) == "w" || $1 ~ /[sS]/ || $2 != "root/root")' \
  "$work/contents" >"$work/bad-modes"
[[ ! -s $work/bad-modes ]] || { cat "$work/bad-modes"; fail "files with wrong owners or modes"; }
! grep -q ' ./var/' "$work/contents" || fail "the package carries files under /var"
dpkg-deb -f "$deb" Depends | grep -q 'adduser' || fail "no dependency on adduser"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "no dependency on Qt"

dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/"*.metainfo.xml ||
  fail "appstreamcli validate"
desktop-file-validate "$work/root/usr/share/applications/"*.desktop || fail "desktop-file-validate"
zcat "$work/root/usr/share/man/man1/kestrel-dbf.1.gz" | grep -q 'kestrel-dbf' ||
  fail "the manual page of kestrel-dbf is empty"

# Lintian: no error, and every warning it still gives is explained in the
# README's packaging section.
lintian --tag-display-limit 0 --fail-on error "$deb" >"$work/lintian" 2>&1 ||
  { cat "$work/lintian"; fail "lintian reports errors"; }
cat "$work/lintian"
readme_section=$(sed -n '/^## The Debian package/,/^## /p' "$source/README.md")
while read -r tag; do
  grep -qF -- "$tag" <<<"$readme_section" || fail "lintian warning $tag is not explained in the README"
done < <(sed -n 's/^W: kestrel[^:]*: \([a-z0-9+.-]*\).*/\1/p' "$work/lintian" | sort -u)

# --- 3. Installed into this machine -----------------------------------------
[[ $(id -u) == 0 ]] || skip "the package is sound; installing it needs root"
# One run at a time installs on a machine.
exec 9>/var/tmp/kestrel-package-test.lock
flock 9
put_machine_back  # after a run that was killed before it could
status=$(dpkg-query -W -f='${Status}' kestrel 2>/dev/null || true)
[[ $status != *installed* ]] || skip "the package is sound; this machine has Kestrel installed and keeps it"
for folder in Reports Printed Addresses; do
  [[ ! -e /var/lib/kestrel/$folder ]] ||
    skip "the package is sound; /var/lib/kestrel/$folder holds this machine's data, which purging would remove"
done
mkdir -p "$state"
if [[ -d /var/lib/kestrel ]]; then
  stat -c '%a %U %G' /var/lib/kestrel >"$state/machine-folder-before"
fi
if [[ -f /var/lib/kestrel/Kestrel3.ini ]]; then
  cp -a /var/lib/kestrel/Kestrel3.ini "$state/Kestrel3.ini.before"
fi

# dpkg waits for nobody: another installation on the machine holds its lock
# for a while.
dpkg_retrying() {
  local attempt
  for ((attempt = 0; attempt < 60; attempt++)); do
    if dpkg "$@" >"$work/dpkg.log" 2>&1; then return 0; fi
    grep -qi 'lock' "$work/dpkg.log" || { cat "$work/dpkg.log"; return 1; }
    sleep 5
  done
  cat "$work/dpkg.log"
  return 1
}
touch "$state/installed"
dpkg_retrying -i "$deb" || fail "dpkg -i"

[[ $(stat -c '%a %U %G' /var/lib/kestrel/Reports) == "2775 root kestrel" ]] ||
  fail "Reports is $(stat -c '%a %U %G' /var/lib/kestrel/Reports)"
[[ $(kestrel --version) == "kestrel $version" ]] || fail "kestrel --version: $(kestrel --version)"

cp "$robot" "$work/robot.so"
chmod 755 "$work/robot.so"
make_user() {
  local user=$1
  if ! getent passwd "$user" >/dev/null; then
    useradd --system --no-create-home --gid nogroup --shell /usr/sbin/nologin "$user"
    echo "$user" >>"$state/users"
  fi
  mkdir -p "$work/home-$user" "$work/run-$user"
  chown "$user" "$work/home-$user" "$work/run-$user"
  chmod 700 "$work/run-$user"
}
run_as() {
  local user=$1
  shift
  runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$work/home-$user" \
    XDG_RUNTIME_DIR="$work/run-$user" "$@"
}
# Starts the installed kestrel from its menu command's name; the robot prints.
print_as() {
  local user=$1
  timeout 300 runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$work/home-$user" \
    XDG_RUNTIME_DIR="$work/run-$user" QT_QPA_PLATFORM=offscreen \
    CUPS_SERVER=/nonexistent/cups.sock LD_PRELOAD="$work/robot.so" \
    KESTREL_ROBOT_NAME="Robin $user" kestrel >"$work/run-$user.log" 2>&1
}

printers=(kestrelprinter1 kestrelprinter2)
for user in "${printers[@]}"; do
  make_user "$user"
  adduser --quiet "$user" kestrel
done
make_user kestreloutsider

# The office's settings: a sender, no start-up questions, no bar codes. Made
# with a common umask: the program itself keeps the file the group's.
run_as kestrelprinter1 sh -c 'umask 022; printf "%s\r\n" "[Type]" "BarCodeApp=0" \
  "[YourAddress]" "Line1=Ann Example" "City=Springfield" "State=IL" "Zip=62701" \
  "[Values]" "PrintBarCode=0" >/var/lib/kestrel/Kestrel3.ini'

for user in "${printers[@]}"; do
  print_as "$user" || { cat "$work/run-$user.log"; fail "$user could not print"; }
done
/usr/bin/python3 - /var/lib/kestrel/Reports/report3.dbf "${printers[@]}" <<'PY' || fail "the log"
import sys, dbfread
names = [r['SENTNAME0'].strip() for r in dbfread.DBF(sys.argv[1], encoding='cp437')]
expected = ['Robin ' + user for user in sys.argv[2:]]
if names != expected:
    sys.exit('the log holds %r, not %r' % (names, expected))
PY
for user in "${printers[@]}"; do
  [[ $(find /var/lib/kestrel/Printed -name '*.pdf' -user "$user" -size +1k | wc -l) == 1 ]] ||
    { ls -l /var/lib/kestrel/Printed; fail "no PDF file of $user"; }
done
[[ $(stat -c '%a %G' /var/lib/kestrel/Reports/report3.dbf) == "664 kestrel" ]] ||
  fail "the log is $(stat -c '%a %G' /var/lib/kestrel/Reports/report3.dbf)"
[[ $(stat -c '%a %G' /var/lib/kestrel/Kestrel3.ini) == "664 kestrel" ]] ||
  fail "the settings file is $(stat -c '%a %G' /var/lib/kestrel/Kestrel3.ini)"
# What the package and the program made (other files of the machine folder
# are none of theirs).
world_writable=$(find /var/lib/kestrel /var/lib/kestrel/Kestrel3.ini -maxdepth 0 -perm -o+w
  find /var/lib/kestrel/Reports /var/lib/kestrel/Printed /var/lib/kestrel/Addresses -perm -o+w)
[[ -z $world_writable ]] || fail "world-writable: $world_writable"

# Outside the group: told which group to join, nothing printed or logged.
if print_as kestreloutsider; then fail "a user outside the group printed"; fi
if ! grep -q 'shared by the group "kestrel"' "$work/run-kestreloutsider.log" ||
  ! grep -q 'adduser kestreloutsider kestrel' "$work/run-kestreloutsider.log"; then
  cat "$work/run-kestreloutsider.log"
  fail "the outsider was not told to join the group"
fi

# An address table of a user's own, outside the package's folders.
run_as kestrelprinter1 kestrel-dbf create "$work/home-kestrelprinter1/clients.dbf" \
  "address,M,10,0" "city,C,35,0" "state,C,4,0" "zip,C,10,0" >/dev/null ||
  fail "kestrel-dbf create"

dpkg_retrying -r kestrel || fail "dpkg -r"
[[ ! -e /usr/lib/kestrel/kestrel && ! -e /usr/bin/kestrel ]] || fail "the program stayed"
[[ -f /var/lib/kestrel/Reports/report3.dbf && -f /var/lib/kestrel/Kestrel3.ini ]] ||
  fail "removing the package took the log or the settings"
dpkg_retrying --purge kestrel || fail "dpkg --purge"
rm "$state/installed"
[[ ! -e /var/lib/kestrel/Reports && ! -e /var/lib/kestrel/Kestrel3.ini ]] ||
  fail "purging left the package's folders"
[[ -f $work/home-kestrelprinter1/clients.dbf ]] || fail "purging took a user's own address table"
echo "installed, printed by two members of the group, removed and purged"
