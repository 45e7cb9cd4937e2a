# Helpers for running the Windows build under wine64; sourced by the scripts that do.
# Debian installs the 64-bit loader and server outside PATH.
ARTI_WINE="$(command -v wine64 || echo /usr/lib/wine/wine64)"
ARTI_WINESERVER="$(command -v wineserver64 || command -v wineserver || echo /usr/lib/wine/wineserver)"

# A wine prefix of the build's own (BUILD/wine), made once, and a wine server with its
# services started for it now, detached from every output: a service started by a
# program of ours would hold that program's output open (a pipe read to its end would
# never end). The server stays until arti_wine_stop, so each start takes a fraction of
# a second.
arti_wine_prefix() { # build
  export WINEPREFIX="$1/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Lege die wine-Umgebung $WINEPREFIX an"
  fi
  "$ARTI_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  "$ARTI_WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
}

# Ends the wine server of the prefix in use and its services.
arti_wine_stop() {
  "$ARTI_WINESERVER" -k >/dev/null 2>&1 || true
}

# A script BUILD/bin/NAME that runs BUILD/bin/NAME.exe under wine with the build's prefix.
arti_wine_wrapper() { # build name
  local w="$1/bin/$2-wine"
  cat >"$w" <<WRAP
#!/bin/sh
export WINEPREFIX="$1/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec "$ARTI_WINE" "$1/bin/$2.exe" "\$@"
WRAP
  chmod +x "$w"
  echo "$w"
}
