# shellcheck shell=bash
# Sourced by demo/run.sh, bench/run.sh, the SMB rig and the Wine suite's
# layouts (bash).
# The sample installation as demo/sample_installation.conf describes it: its
# values in the associative array `sample`, by name, read when sourced.

sample_installation_file=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../demo" && pwd)/sample_installation.conf

# Fills `sample` from the description; fails on a line it cannot read.
read_sample_installation() {
  declare -gA sample=()
  local line
  while IFS= read -r line || [[ -n $line ]]; do
    [[ -z $line || $line == '#'* ]] && continue
    if [[ ! $line =~ ^([a-z_]+)=([^\"]*)$ ]]; then
      echo "$sample_installation_file: not a name=value line: $line" >&2
      return 1
    fi
    sample[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
  done < "$sample_installation_file"
}
read_sample_installation

# sample_files_in FOLDER: the latest-programs folder's files in FOLDER
# (Keldo6\LATEST_PROGS), each one line and CR LF.
sample_files_in() {
  mkdir -p "$1"
  printf '%s\r\n' "${sample[latest_version_line]}" > "$1/keldo63version.dat"
  printf '%s\r\n' "${sample[support_expiry_line]}" > "$1/SupportExpiry.dat"
}

# The product's settings as user.reg holds them, one value a line.
sample_settings_values() {
  printf '%s\n' "\"AutoUpdate\"=\"${sample[auto_update]}\"" "\"Network\"=\"${sample[network]}\"" \
    "\"PkgNbr\"=\"${sample[serial]}\"" "\"VerNbr\"=\"${sample[installed_version]}\""
}

# lay_out_sample_installation PREFIX [remembered]
# Lays out the sample installation in PREFIX, a throw-away Wine prefix (a
# plain folder: user.reg, system.reg and dosdevices/, no wineboot): drives
# C: and the database drive, a hard disk holding the product's database and
# its latest-programs files, and the product's settings. With "remembered"
# the user also has the sample's network drive remembered, mapped to its
# UNC path.
lay_out_sample_installation() {
  local prefix=$1 remembered=${2:-}
  local drive=${sample[database_drive],,}
  local product=$prefix/drive_$drive/Keldo6
  mkdir -p "$prefix/dosdevices" "$prefix/drive_c" "$product/GENDATA"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  ln -s "../drive_$drive" "$prefix/dosdevices/$drive:"
  : > "$product/GENDATA/GeneralKeldo6data.mdb"
  sample_files_in "$product/LATEST_PROGS"

  {
    printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\User\\S-1-5-21-0-0-0-1000' '' '#arch=win64' ''
    if [[ $remembered == remembered ]]; then
      # Backslashes doubled, as user.reg escapes them.
      local remote=${sample[remembered_path]}
      printf '%s\n' "[Network\\\\${sample[remembered_drive]}] 1733650000" '#time=1db4a7b00000000' \
        '"ConnectionType"=dword:00000001' "\"RemotePath\"=\"${remote//\\/\\\\}\"" ''
    fi
    printf '%s\n' '[Software\\VB and VBA Program Settings\\Keldo6\\ThisPC] 1733650000' '#time=1db4a7b00000000'
    sample_settings_values
  } > "$prefix/user.reg"
  printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\Machine' '' '#arch=win64' '' \
    '[Software\\Wine\\Drives] 1733650000' "\"$drive:\"=\"hd\"" > "$prefix/system.reg"
}
