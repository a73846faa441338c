#!/usr/bin/env bash
# The demo: installs what is missing, builds the release preset, makes the demo installer
# from examples/demo with PackageBuilder and starts it. HOME and the XDG folders point at a
# throwaway folder under build/, so a trial touches nothing of the user's. With a display
# the installer's window opens; without one the installer runs unattended and its log is
# printed.
#
#   ./scripts/demo.sh              the window, or unattended without a display
#   ./scripts/demo.sh --unattended always unattended
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

unattended=false
if [ "${1:-}" = "--unattended" ]; then
	unattended=true
elif [ $# -gt 0 ]; then
	echo "usage: $0 [--unattended]" >&2
	exit 2
fi

./scripts/setup.sh

build="$root/build/release"
if [ ! -f "$build/build.ninja" ]; then
	cmake --preset release
fi
cmake --build --preset release --target Installer PackageBuilder

demo="$root/build/demo"
home="$root/build/demo-home"
rm -rf "$home"
mkdir -p "$demo" "$home/.config" "$home/.local/share" "$home/.cache" "$home/tmp"

# PackageBuilder takes the Installer and the deinstaller built beside it.
installer="$demo/Demo-1.0-Installer"
"$build/PackageBuilder/PackageBuilder" build examples/demo/demo.toml -o "$installer"

export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
export XDG_DATA_HOME="$home/.local/share"
export XDG_CACHE_HOME="$home/.cache"
export XDG_DESKTOP_DIR="$home/Desktop"
export TMPDIR="$home/tmp"

echo
echo "Demo installer: $installer"
echo "Trial home:     $home (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, TMPDIR)"
echo

status=0
if [ "$unattended" = false ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
	"$installer" || status=$?
else
	echo "No display: installing unattended."
	"$installer" --unattended --list
	echo
	"$installer" --unattended --accept-licence --type Full || status=$?
	log="$home/Applications/Demo/Log"
	if [ -f "$log" ]; then
		echo
		echo "The install log, $log:"
		cat "$log"
	fi
fi

echo
echo "Everything went into the trial home $home:"
if [ -d "$home/Applications/Demo" ]; then
	echo "  the installation folder:  $home/Applications/Demo"
fi
if [ -e "$home/.local/share/deskbar/demo-hello" ]; then
	echo "  the link to demo-hello:   $home/.local/share/deskbar/demo-hello"
fi
if [ -f "$home/.config/boot/UserBootscript" ]; then
	echo "  the boot script section:  $home/.config/boot/UserBootscript"
fi
echo "Remove it with: rm -rf '$home'"
exit "$status"
