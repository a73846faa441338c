#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Safe to run again; works as root or through sudo.
set -euo pipefail

packages=(
	build-essential cmake ninja-build pkg-config git
	clang clang-format libclang-rt-dev
	libgtest-dev libgmock-dev
	qt6-base-dev qt6-multimedia-dev libqt6svg6
	libzip-dev libdeflate-dev libmagic-dev libtomlplusplus-dev
	attr zip unzip file xdg-utils locales
	fonts-dejavu-core
)

if [ "$(id -u)" -eq 0 ]; then
	sudo=()
else
	sudo=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
	if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
		missing+=("$package")
	fi
done

if [ ${#missing[@]} -eq 0 ]; then
	echo "All packages are installed."
	exit 0
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
