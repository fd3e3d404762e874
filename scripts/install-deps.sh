#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Brusk need.
# Idempotent: asks apt only for what is missing, and updates the package lists only then.
set -euo pipefail

packages=(
  cmake g++ make                       # toolchain
  libgtest-dev libgmock-dev            # unit tests
  libbenchmark-dev                     # benchmarks
  libsleef-dev                         # vector exp/sincos of the many-wall kernel
  libfftw3-dev                         # FFTs of the periodic response (any N, plans cached)
  libeigen3-dev                        # sparse Cholesky of the thermal-bridge solver
  libcli11-dev                         # command-line parsing
  nlohmann-json3-dev                   # JSON wall files and output
  libtomlplusplus-dev                  # TOML wall files and material catalogue
  libfmt-dev                           # benchmarks: fmt's shortest format for comparison
  clang libclang-rt-14-dev             # libFuzzer targets
  tidy                                 # HTML report validation
  chromium                             # HTML report browser test
  pybind11-dev python3-dev             # Python package (import brusk)
  python3-numpy python3-pytest         # Python package: arrays and its tests
  python3-pandas                       # Python package: compute_frame()
  python3-venv python3-setuptools      # Python package: offline pip install into a venv
  python3-matplotlib                   # docs/python.md: the worked example's plot
  emscripten nodejs npm                # web calculator: WebAssembly build and its browser test
)

# Node and npm may come with another distribution of Node (one whose nodejs package bundles
# npm, which Debian's npm then conflicts with): a working command is enough for them.
declare -A satisfied_by_command=([nodejs]=node [npm]=npm)

missing=()
for package in "${packages[@]}"; do
  command_name=${satisfied_by_command[$package]:-}
  if [[ -n "$command_name" ]] && command -v "$command_name" >/dev/null; then continue; fi
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}" >&2
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >&2
fi

# The browser test's one npm package (playwright-core, pinned by web/package-lock.json).
if [[ ! -d "$(dirname "$0")/../web/node_modules/playwright-core" ]] && command -v npm >/dev/null; then
  (cd "$(dirname "$0")/../web" && npm ci --no-audit --no-fund >&2) ||
    echo "install-deps: npm ci failed in web/; the browser test will be skipped" >&2
fi
