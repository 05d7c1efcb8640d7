#!/usr/bin/env bash
# Checks the kit as users get it, on this machine (run as root; it is part of scripts/test.sh):
#   1. builds the Debian package from build-dir, checks it with lintian (no errors allowed) and
#      installs it with dpkg -i;
#   2. as an unprivileged user (kitcheck, made when missing) starts the installed tarvel and
#      lumivo offscreen and waits until they have made that user's folders, then drives them with
#      build-dir/tests/install/installed_kit_driver: a project from an installed template in the
#      user's home, built with the test stand-in compiler in the user's compiler folder, and the
#      settings of both programs in ~/.config/tarvel and ~/.config/lumivo;
#   3. removes the package with dpkg -r;
#   4. does steps 2 for `cmake --install build-dir --prefix ~/.local` run by that user.
# Usage: scripts/install-check.sh [build-dir]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
user=kitcheck
package=msx-desktop-kit

if [ "$(id -u)" -ne 0 ]; then
  echo "install-check.sh: run as root (it installs a package and switches to a test user)" >&2
  exit 1
fi
id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
uid="$(id -u "$user")"
gid="$(id -g "$user")"
home="$(getent passwd "$user" | cut -d: -f6)"

# Runs a command as the test user with a clean environment; exec'd, so $! is the program itself.
as_user() {
  setpriv --reuid="$uid" --regid="$gid" --init-groups \
    env -i HOME="$home" USER="$user" LOGNAME="$user" PATH="$home/.local/bin:/usr/local/bin:/usr/bin:/bin" \
    QT_QPA_PLATFORM=offscreen "$@"
}

# Removes what an earlier `cmake --install` into the user's ~/.local left.
remove_user_install() {
  if [ -f "$build/install_manifest.txt" ]; then
    { grep "^$home/.local/" "$build/install_manifest.txt" || true; } | while read -r file; do rm -f "$file"; done
  fi
  rm -rf "$home/.local/lib/$package" "$home/.local/bin/tarvel" "$home/.local/bin/lumivo"
}

work="$(mktemp -d)"
chmod 755 "$work"
remove_user_install
cleanup() {
  rm -rf "$work"
  remove_user_install
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    dpkg -r "$package" >/dev/null
  fi
}
trap cleanup EXIT
install -m 755 "$build/tests/install/installed_kit_driver" "$work/driver"

# Starts an installed program as the user (after `env` settings, if any) and waits (at most a
# minute) until the folder it makes at start exists, then ends it.
starts_and_makes() {
  local folder="$1" program="${*: -1}" pid
  shift
  as_user env "$@" >"$work/$(basename "$program").log" 2>&1 &
  pid=$!
  for _ in $(seq 600); do
    [ -d "$folder" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [ ! -d "$folder" ]; then
    echo "install-check.sh: $program did not make $folder" >&2
    cat "$work/$(basename "$program").log" >&2
    return 1
  fi
}

# Step 2 for a kit installed with its executables in bin-dir and its data in kit-dir.
check_as_user() {
  local bin="$1" kit="$2"
  touch "$work/started"
  rm -rf "$home/.config/tarvel" "$home/.config/lumivo" "$home/.local/share/tarvel" "$home/.local/state/lumivo" \
         "$home/projects"
  [ "$(as_user sh -c 'command -v tarvel')" = "$bin/tarvel" ] || { echo "install-check.sh: tarvel is not on the PATH from $bin" >&2; return 1; }
  starts_and_makes "$home/.local/share/tarvel/compiler" "$bin/tarvel"
  starts_and_makes "$home/.config/lumivo" "$bin/lumivo"
  # A settings folder that cannot be made: the program still opens (it makes its other folders)
  # and the file in the way stays as it was.
  as_user sh -c "printf 'keep' > '$home/config-file'"
  rm -rf "$home/.local/state/lumivo"
  starts_and_makes "$home/.local/state/lumivo" XDG_CONFIG_HOME="$home/config-file" "$bin/lumivo"
  [ "$(cat "$home/config-file")" = keep ] || { echo "install-check.sh: $home/config-file was changed" >&2; return 1; }
  as_user install -m 755 "$here/tests/tools/tp3" "$home/.local/share/tarvel/compiler/TP3"
  as_user sh -c "printf 'RUNTIME' > '$home/.local/share/tarvel/compiler/runtime.com'"
  (cd "$work" && as_user env INSTALLED_KIT_DIR="$kit" "$work/driver")
  for file in "$home/.config/tarvel/config.cfg" "$home/.config/lumivo/feconfig.cfg"; do
    [ "$(stat -c %u "$file")" = "$uid" ] || { echo "install-check.sh: $file is missing" >&2; return 1; }
  done
  if find "$kit" -newer "$work/started" -print | grep -q .; then
    echo "install-check.sh: the programs wrote into the installed kit $kit" >&2
    return 1
  fi
}

echo "== Debian package"
rm -f "$build"/${package}_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/${package}_*.deb)"
status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || status=$?
grep -v "root privileges" "$work/lintian.log" || true
[ "$status" -eq 0 ] || { echo "install-check.sh: lintian reports errors" >&2; exit 1; }
desktop-file-validate "$here/packaging/tarvel.desktop" "$here/packaging/lumivo.desktop"
dpkg -i "$deb" >/dev/null
check_as_user /usr/bin /usr/lib/$package
dpkg -r "$package" >/dev/null
echo "package: installed, used by $user and removed"

echo "== cmake --install into ~/.local"
# The installation records its files in the build folder; the user may write just that record.
touch "$build/install_manifest.txt" && chmod 666 "$build/install_manifest.txt"
as_user cmake --install "$build" --prefix "$home/.local" >/dev/null
check_as_user "$home/.local/bin" "$home/.local/lib/$package"
echo "~/.local: installed and used by $user"
