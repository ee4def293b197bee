# Sourced by the scripts that run a Windows build's programs under Wine (scripts/wine-tests,
# scripts/wine-window-tests, scripts/bench-wine). Wine maps COM ports to /dev/ttyS* by default,
# and /dev/ttyS0 is this machine's console: every /dev/ttyS* is masked by /dev/null in a
# private mount namespace, and COM1..COM4 are mapped explicitly in a throwaway prefix.

# Re-executes the calling script with its arguments inside that mount namespace and, unless
# WINE_SESSION_DISPLAY=0, under xvfb-run; returns in the re-executed copy.
wine_session_enter() {
    if [[ "${LUMIVANE_TTYS_MASKED:-}" != 1 ]]; then
        local unshare_cmd=(unshare -m --propagation private)
        [[ $(id -u) -ne 0 ]] && unshare_cmd=(sudo -E "${unshare_cmd[@]}")
        exec "${unshare_cmd[@]}" env LUMIVANE_TTYS_MASKED=1 "$0" "$@"
    fi
    if [[ "${LUMIVANE_TTYS_READY:-}" != 1 ]]; then
        local tty display=()
        for tty in /dev/ttyS*; do
            [[ -e $tty ]] && mount --bind /dev/null "$tty"
        done
        [[ "${WINE_SESSION_DISPLAY:-1}" == 0 ]] ||
            display=(xvfb-run -a -s "-screen 0 1024x768x24")
        exec env LUMIVANE_TTYS_READY=1 "${display[@]}" "$0" "$@"
    fi
}

# Makes the throwaway prefix for the Windows program $1, with COMn mapped to $2/comn (default:
# /dev/null) and LUMIVANE_PORT_BEYOND (COM7) to /dev/null, and starts a wineserver that stays for
# the rest of the run; both go when the calling script exits. Exports WINELOADER (the command
# that runs a Windows program), WINEARCH, WINEPREFIX and LUMIVANE_PORT_BEYOND. Wine also maps
# each /dev/ttyS* it finds to the next free COM number (the masked /dev/null here).
# WINE_SESSION_DPI (default 96) is the screen's pixels per inch, as Windows' display scaling
# sets it: 144 is 150 %.
wine_session_prefix() {
    # The program's processor chooses the loader: 32-bit Wine needs a kernel that runs 32-bit
    # programs.
    if file "$1" | grep -q x86-64; then
        export WINELOADER=/usr/lib/wine/wine64 WINEARCH=win64
    else
        export WINELOADER=/usr/lib/wine/wine WINEARCH=win32
    fi
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX WINEDEBUG=-all LUMIVANE_PORT_BEYOND=COM7
    # No Mono or Gecko installers: nothing needs them, and nothing is downloaded. No menu
    # entries or icons for what an installer puts in the start menu: they would go to the home
    # folder of whoever runs this, outside the prefix.
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT

    "$WINELOADER" wineboot -i >/dev/null 2>&1
    # Wine's own fonts that our windows use (fonts-wine: the dialogs' MS Sans Serif, the
    # message boxes' and tooltips' Tahoma, the Marlett that draws the caption's buttons) in the
    # prefix's Fonts folder, where every Wine looks: Debian's Wine 8 looks for them in
    # /usr/share/fonts, not where fonts-wine puts them, and would draw the dialogs in a wider
    # substitute and the close button as an "r". Only these: each process reads every font
    # there as it starts, and all of fonts-wine's would add some 70 ms to each start.
    local font
    for font in marlett.ttf ms_sans_serif.ttf sserife.fon sseriff.fon tahoma.ttf tahomabd.ttf; do
        [[ -e /usr/share/wine/fonts/$font ]] &&
            ln -sf "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    local reg=$WINEPREFIX/lumivane.reg n target dpi
    dpi=$(printf '%08x' "${WINE_SESSION_DPI:-96}")
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
        for n in 1 2 3 4; do
            if [[ -n "${2:-}" ]]; then target=$2/com$n; else target=/dev/null; fi
            printf '"COM%s"="%s"\n' "$n" "$target"
        done
        # A port beyond COM4, as a USB adapter often gets on Windows; nothing ever opens it.
        printf '"%s"="/dev/null"\n' "$LUMIVANE_PORT_BEYOND"
        # Without a window manager a closed message box would stall about two seconds.
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n'
        # The screen's resolution, for the windows and for the choice of bitmap fonts.
        printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%s\n' "$dpi"
        printf '\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\n'
        printf '"LogPixels"=dword:%s\n' "$dpi"
    } >"$reg"
    "$WINELOADER" regedit /S "$("$WINELOADER" winepath -w "$reg")"
    # The port links are made when Wine's services start: restart them on the new mapping, and
    # keep this server for the rest of the run.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    wineserver -p >/dev/null 2>&1
}
