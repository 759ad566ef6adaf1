# Sourced by demo/run.sh and bench/run.sh (bash).
#
# lay_out_sample_installation PREFIX [REMOTE_PATH]
# Lays out the sample installation in PREFIX, a throw-away Wine prefix (a
# plain folder: user.reg, system.reg and dosdevices/, no wineboot): drives
# C: and D:, D: a hard disk holding the product's database and its
# latest-programs files, and the product's settings (automatic updates on,
# multi-user, serial 123456, version v6.3.215 01/12/2024). With REMOTE_PATH
# (a UNC path such as \\fileserver\keldo) the user also has F: remembered as
# a network drive mapped to it.
lay_out_sample_installation() {
  local prefix=$1 remote=${2:-}
  local product=$prefix/drive_d/Keldo6
  mkdir -p "$prefix/dosdevices" "$prefix/drive_c" "$product/GENDATA" "$product/LATEST_PROGS"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  ln -s ../drive_d "$prefix/dosdevices/d:"
  : > "$product/GENDATA/GeneralKeldo6data.mdb"
  printf 'v6.3.218 10/02/2025\r\n' > "$product/LATEST_PROGS/keldo63version.dat"
  printf '31/12/2026\r\n' > "$product/LATEST_PROGS/SupportExpiry.dat"

  {
    printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\User\\S-1-5-21-0-0-0-1000' '' '#arch=win64' ''
    if [[ -n $remote ]]; then
      # Backslashes doubled, as user.reg escapes them.
      printf '%s\n' '[Network\\F] 1733650000' '#time=1db4a7b00000000' '"ConnectionType"=dword:00000001' \
        "\"RemotePath\"=\"${remote//\\/\\\\}\"" ''
    fi
    printf '%s\n' '[Software\\VB and VBA Program Settings\\Keldo6\\ThisPC] 1733650000' '#time=1db4a7b00000000' \
      '"AutoUpdate"="Yes"' '"Network"="Yes"' '"PkgNbr"="123456"' '"VerNbr"="v6.3.215 01/12/2024"'
  } > "$prefix/user.reg"
  printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\Machine' '' '#arch=win64' '' \
    '[Software\\Wine\\Drives] 1733650000' '"d:"="hd"' > "$prefix/system.reg"
}
