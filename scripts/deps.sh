# Sourced by scripts/run and scripts/test: installs with apt-get the Debian
# packages Kelvara needs that this machine does not have yet.
kelvara_packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libxxhash-dev libpcre2-dev
    qt6-base-dev qt6-qpa-plugins qt6-l10n-tools qt6-translations-l10n xvfb xauth fonts-noto-cjk
    clang-format xdg-utils patch python3
    dpkg-dev lintian appstream desktop-file-utils man-db bash-completion
    clang libclang-rt-14-dev
)

kelvara_install_missing() {
    local missing=()
    local package
    for package in "${kelvara_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures (first time only) and builds one build folder incrementally.
kelvara_build() {
    local folder=$1
    shift
    if [ ! -f "$folder/build.ninja" ]; then
        cmake -S . -B "$folder" -G Ninja "$@"
    fi
    cmake --build "$folder"
}
