# shellcheck shell=bash
# Helpers shared by the scripts in tools/, sourced from the repository's root.

# Runs a command as root: directly when already root, else through sudo.
sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Configures the build folder a script was given (its first argument), or
# the default preset's build/ when it was given none; sets build to it.
# Usage: configure_build "$@"
configure_build() {
  if [ $# -eq 0 ]; then
    build=build
    cmake --preset default >/dev/null
  else
    build=$1
    cmake -S . -B "$build" >/dev/null
  fi
}
