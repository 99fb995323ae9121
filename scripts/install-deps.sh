#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev \
    libxerces-c-dev libssl-dev nlohmann-json3-dev qt6-base-dev srecord fonts-dejavu-extra adwaita-qt6
