# Sourced by the set-up, benchmark and fuzzing scripts.
# ensure_packages PKG... installs the Debian packages that are missing
# (with sudo unless running as root); quick when all are there.
ensure_packages() {
    _missing=""
    for _p in "$@"; do
        dpkg-query -W -f='${Status}' "$_p" 2>/dev/null | grep -q 'install ok installed' \
            || _missing="$_missing $_p"
    done
    [ -z "$_missing" ] && return 0
    echo "Installing:$_missing"
    _sudo=""
    [ "$(id -u)" -eq 0 ] || _sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $_sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $_sudo apt-get install -y -qq --no-install-recommends $_missing
}
