# Package-list update and install that survive a mirror in the middle of a sync.
# Sourced by setup.sh (and by its test, with APT_CONFIG pointing at a local mirror).
#
# A mirror being synced serves a release file that does not match one of its
# indexes ("File has unexpected size ... Mirror sync in progress?"), sometimes
# for an hour. The update is tried a few times; then the setup goes on with what
# was fetched. Without the failed index, a multiarch install can fail on mixed
# versions (the amd64 half from the failed suite, the i386 half from the main
# one), so the install is tried once more with that suite held back for every
# architecture, through a preference file that lives only for that install.

KX_APT_TRIES=${KX_APT_TRIES:-3}
KX_APT_PAUSE=${KX_APT_PAUSE:-10}
KX_FAILED_SUITES=()
KX_HOLD_FILE=

# The suite of each index the last update failed to fetch ("bookworm-security").
kx_failed_suites_of() {
  sed -n 's/^\(E: Failed to fetch\|Err:[0-9]*\) \([^ ]*\).*/\2/p' "$1" \
    | sed -n 's#.*/dists/\([^/]*\)/.*#\1#p' | sort -u
}

kx_apt_update() {
  local log try rc
  log=$(mktemp)
  for ((try = 1; try <= KX_APT_TRIES; try++)); do
    rc=0
    apt-get update -q >"$log" 2>&1 || rc=$?
    grep -v '^\(Hit\|Get\|Ign\):' "$log" || true
    if [ "$rc" -eq 0 ]; then
      KX_FAILED_SUITES=()
      rm -f "$log"
      return 0
    fi
    mapfile -t KX_FAILED_SUITES < <(kx_failed_suites_of "$log")
    if ((try < KX_APT_TRIES)); then
      echo "setup: the package-list update failed (try $try of $KX_APT_TRIES); again in ${KX_APT_PAUSE}s"
      sleep "$KX_APT_PAUSE"
    fi
  done
  echo "setup: after $KX_APT_TRIES tries these package indexes still fail to download:"
  grep '^E: Failed to fetch' "$log" | sed 's/^E: Failed to fetch /setup:   /; s/ \{2,\}.*//'
  echo "setup: going on with the indexes that were fetched (suites with a failed index: ${KX_FAILED_SUITES[*]:-none})"
  rm -f "$log"
  return 0
}

kx_remove_hold() {
  if [ -n "$KX_HOLD_FILE" ]; then
    rm -f "$KX_HOLD_FILE"
    KX_HOLD_FILE=
  fi
}

# apt-get install with the given arguments; on failure, and when an index failed
# in the update, once more with the suites of the failed indexes held back.
kx_apt_install() {
  if DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"; then
    return 0
  fi
  if [ "${#KX_FAILED_SUITES[@]}" -eq 0 ]; then
    return 1
  fi
  local parts suite status=0
  eval "$(apt-config shell parts Dir::Etc::preferencesparts/d)"
  KX_HOLD_FILE="${parts%/}/kxvistral-setup-hold.pref"
  trap kx_remove_hold EXIT
  : > "$KX_HOLD_FILE"
  for suite in "${KX_FAILED_SUITES[@]}"; do
    # Below the default 500 of the other suites: each package takes the other
    # suites' version on both architectures, so the halves of a multiarch
    # package match again.
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite" >> "$KX_HOLD_FILE"
  done
  echo "setup: the install failed, probably on versions that differ between architectures;"
  echo "setup: installing again with ${KX_FAILED_SUITES[*]} held back for this one install"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" || status=$?
  kx_remove_hold
  trap - EXIT
  if [ "$status" -eq 0 ]; then
    echo "setup: installed with ${KX_FAILED_SUITES[*]} held back; the package configuration is as before"
  fi
  return "$status"
}
