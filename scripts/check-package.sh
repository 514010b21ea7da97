#!/usr/bin/env bash
# check-package.sh DEB: tries a Velmora package the way a user meets it. In a new minimal Debian
# 12 root it installs the package with apt-get (which brings the dependencies the package names),
# runs `velmora-cli --version`, converts the bundled example, starts the window on the offscreen
# platform (still running after 5 seconds counts as started), purges the package, and compares
# the root's file list with the one before the install: any difference fails. The dependencies
# are installed once before that list is taken, so that what some of them leave behind when
# purged (systemd's state folders, say) cannot hide or fake a leftover of Velmora's; they are
# purged at the end and whatever they leave is listed, for information.
# Needs root and debootstrap. The base root is made once and kept in $VELMORA_CHECK_HOME
# (default /var/tmp/velmora-package-check); each run works on a copy of it. Takes minutes.
set -euo pipefail
if [[ $# != 1 || ! -f $1 ]]; then
  echo "usage: $0 build/velmora_VERSION_ARCH.deb" >&2
  exit 2
fi
[[ $(id -u) == 0 ]] || { echo "$0: needs root (debootstrap, chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "$0: needs debootstrap (apt-get install debootstrap)" >&2; exit 2; }
deb=$(realpath "$1")
example=$(realpath "$(dirname "$0")/../examples/chime.aiff")
cache=${VELMORA_CHECK_HOME:-/var/tmp/velmora-package-check}
sources=/etc/apt/sources.list.d/debian.sources
mkdir -p "$cache"

base=$cache/debian12-base
if [[ ! -f $base/ok ]]; then
  rm -rf "$base"
  mirror=$(awk '/^URIs:/{print $2; exit}' "$sources")
  echo "== making a minimal Debian 12 root (once; log: $cache/debootstrap.log)"
  debootstrap --variant=minbase bookworm "$base" "$mirror" >"$cache/debootstrap.log" 2>&1
  touch "$base/ok"
fi

root=$(mktemp -d "$cache/root-XXXXXX")
work=$(mktemp -d)  # logs and file lists, outside the root
cleanup() {
  for m in dev/pts dev sys proc; do umount "$root/$m" 2>/dev/null || true; done
  # Never delete through a mount that is still there: it would be this machine's /dev or /proc.
  if findmnt -rn -o TARGET | grep -q "^$root/"; then
    echo "$0: $root still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$root"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
cp -a "$base/." "$root/"
# The same archive sections as this machine: bookworm, its updates and its security fixes.
rm -f "$root/etc/apt/sources.list"
cp "$sources" "$root/etc/apt/sources.list.d/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc sys dev dev/pts; do mount --bind "/$m" "$root/$m"; done
in_root() {
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}
# Every file and folder of the root but apt's and dpkg's own records, logs and caches, which
# change with any install.
file_list() {
  in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run \
    -o -path /var/log -o -path /var/cache/apt -o -path /var/lib/apt -o -path /var/cache/debconf \
    -o -path /var/cache/ldconfig -o -path /var/lib/dpkg \) -prune -o -print | sort
}

deb_name=$(basename "$deb")
cp "$deb" "$example" "$root/tmp/"
in_root apt-get update -q >/dev/null
file_list >"$work/bare"
install_package() {
  in_root apt-get install -y -q "./tmp/$deb_name" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
}
echo "== the package's dependencies (apt-get install ./$deb_name, then dpkg --purge velmora)"
install_package
grep -E '^[0-9]+ upgraded' "$work/install.log"
in_root dpkg --purge velmora >/dev/null
file_list >"$work/before"

echo "== apt-get install ./$deb_name"
install_package
grep -E '^(Setting up velmora|[0-9]+ upgraded)' "$work/install.log"
echo "-- the package's files"
in_root sh -c 'dpkg -L velmora | while read -r f; do [ -f "$f" ] && echo "  $f"; done'

echo "== velmora-cli --version"
in_root velmora-cli --version
echo "== velmora-cli convert /tmp/chime.aiff"
mkdir -p "$root/tmp/home"
in_root env HOME=/tmp/home velmora-cli convert -q -o /tmp/out /tmp/chime.aiff
echo "== velmora /tmp/chime.aiff on the offscreen platform"
status=0
in_root env HOME=/tmp/home QT_QPA_PLATFORM=offscreen timeout 5 velmora /tmp/chime.aiff >"$work/window.log" 2>&1 ||
  status=$?
if [[ $status != 124 ]]; then
  cat "$work/window.log"
  echo "the window ended with status $status instead of running" >&2
  exit 1
fi
echo "still running after 5 seconds: started"
rm -rf "$root/tmp/home" "$root/tmp/out"

echo "== apt-get purge velmora"
in_root apt-get purge -y -q velmora >/dev/null
file_list >"$work/after"
if ! diff "$work/before" "$work/after"; then
  echo "the root differs after the purge (< gone, > left behind)" >&2
  exit 1
fi
echo "no files left: the root's file list is the one before the install"

echo "== apt-get autoremove --purge (the dependencies)"
in_root apt-get autoremove --purge -y -q >/dev/null
file_list >"$work/purged"
if diff "$work/bare" "$work/purged" >"$work/diff"; then
  echo "the dependencies left nothing either"
else
  echo "left by the dependencies' purge scripts, none of it Velmora's:"
  sed -n 's/^> /  /p' "$work/diff"
fi
echo "== package check passed"
