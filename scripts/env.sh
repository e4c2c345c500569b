# Shared environment of the scripts: build folder, Wine prefix and locale.
# Sourced, not run.
WENDLAR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${WENDLAR_BUILD_DIR:-$WENDLAR_ROOT/build}"
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
# winedbg off: a crashing program ends at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEARCH=win64
# Text drawn without smoothing, crisp as the bitmap glyphs of the Japanese fonts draw it, so
# pixel tests and screenshots see the text's own colour (the machine's font setup otherwise).
export FONTCONFIG_FILE="$WENDLAR_ROOT/scripts/fontconfig/fonts.conf"

wendlar_ensure_locale() {
    # Wine reads the Unix locale to pick code page 932; make sure it exists.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        if [ -f /etc/locale.gen ]; then
            sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
            grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
            locale-gen >/dev/null 2>&1 || true
        fi
    fi
}

wendlar_build() {
    # A compiler cache, when the machine has one, shared by every checkout of the project.
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        export CCACHE_BASEDIR="$WENDLAR_ROOT"
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$WENDLAR_ROOT" -B "$BUILD_DIR" -G Ninja "${launcher[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$WENDLAR_ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE="${WENDLAR_BUILD_TYPE:-Release}" >/dev/null &&
    cmake --build "$BUILD_DIR" "$@"
}

wendlar_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    wendlar_prefix_fonts
}

# The prefix's fonts, once per prefix (and again when this setup changes): the Japanese UI
# fonts the program and the system's controls ask for are drawn with VL Gothic, whose
# underscore lies inside its character cell (with IPA Gothic at 12 pixels "_" falls below
# the cell and is cut off in trees, lists and edit boxes); the symbol font of the window
# captions' buttons is put where Wine looks for fonts (its own copy is not loaded, and the
# buttons then show the letters "0 1 r").
wendlar_prefix_fonts() {
    local version=1 marker="$WINEPREFIX/.wendlar-fonts"
    if [ "$(cat "$marker" 2>/dev/null)" = "$version" ]; then return; fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" marlett
    mkdir -p "$fonts"
    for marlett in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
        if [ -f "$marlett" ]; then cp "$marlett" "$fonts/marlett.ttf"; break; fi
    done
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' face
    for face in "MS UI Gothic=VL Gothic" "MS Shell Dlg=VL Gothic" "MS Gothic=VL Gothic" \
                "MS PGothic=VL PGothic"; do
        wine reg add "$key" /v "${face%%=*}" /d "${face#*=}" /f >/dev/null 2>&1
    done
    timeout 60 wineserver -w || true  # the registry files written before the prefix is copied
    echo "$version" >"$marker"
}

# xvfb-run's display choice: WENDLAR_XVFB_SERVERNUM pins one (several checkouts testing at
# once on one machine would otherwise race for the same free number).
wendlar_xvfb_server() {
    if [ -n "${WENDLAR_XVFB_SERVERNUM:-}" ]; then echo "-n $WENDLAR_XVFB_SERVERNUM"; else echo "-a"; fi
}
