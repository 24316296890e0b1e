#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing (as
# root, with apt-get). Sourced by the other scripts.
kesvo_deps() {
  local wanted=(g++ cmake ninja-build libgtest-dev libbenchmark-dev libfast-float-dev)
  local missing=()
  for pkg in "${wanted[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    return 1
  fi
  echo "installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q "${missing[@]}" >/dev/null 2>&1 ||
    { apt-get update -q >/dev/null 2>&1 && apt-get install -y -q "${missing[@]}" >/dev/null; }
}
