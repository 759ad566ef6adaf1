# What each scenario finds on the PC: settings, remembered mappings, drives
# and the product's files, laid out in a fresh clone before the program
# starts. The driver's scenario table (driver/scenarios.cpp) lists the
# scenarios and says what a user must then see; here only those that find
# more than the ordinary installation, the sample one
# (demo/sample_installation.conf), are named.
# shellcheck source=scripts/lib/sample_installation.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/sample_installation.sh"

settings() {  # prefix AutoUpdate Network PkgNbr VerNbr
  local key='HKCU\Software\VB and VBA Program Settings\Keldo6\ThisPC'
  reg_add "$1" "$key" AutoUpdate "$2"
  reg_add "$1" "$key" Network "$3"
  reg_add "$1" "$key" PkgNbr "$4"
  reg_add "$1" "$key" VerNbr "$5"
}

remember_mapping() {  # prefix letter remote-path
  reg_add "$1" "HKCU\\Network\\$2" RemotePath "$3"
}

# A drive letter over a folder of its own, of a type Wine reports
# (hd, network, cdrom, floppy).
drive() {  # prefix letter type
  mkdir -p "$1/drive_$2"
  ln -s "../drive_$2" "$1/dosdevices/$2:"
  reg_add "$1" 'HKLM\Software\Wine\Drives' "$2:" "$3"
}

database_on() {  # prefix letter
  mkdir -p "$1/drive_$2/Keldo6/GENDATA"
  : > "$1/drive_$2/Keldo6/GENDATA/GeneralKeldo6data.mdb"
}

latest_progs_on() {  # prefix letter
  sample_files_in "$1/drive_$2/Keldo6/LATEST_PROGS"
}

# The sample's settings; with a serial, that one instead of the sample's.
ordinary_settings() {  # prefix [serial]
  settings "$1" "${sample[auto_update]}" "${sample[network]}" "${2:-${sample[serial]}}" \
    "${sample[installed_version]}"
}

# The sample installation: its settings, its remembered network drive, and
# its database drive holding the product's files.
sample_installation() {  # prefix
  local drive=${sample[database_drive],,}
  ordinary_settings "$1"
  remember_mapping "$1" "${sample[remembered_drive]}" "${sample[remembered_path]}"
  drive "$1" "$drive" hd; database_on "$1" "$drive"; latest_progs_on "$1" "$drive"
}

lay_out() {  # scenario prefix
  local p=$2
  case $1 in
    ordinary)
      sample_installation "$p" ;;
    network-drive)
      # Fixed drives without the database come first; a CD-ROM that holds
      # it is never searched; the network drive F has it.
      ordinary_settings "$p"
      remember_mapping "$p" H '\\fileserver\other'
      drive "$p" d hd; mkdir -p "$p/drive_d/Keldo6/GENDATA"
      drive "$p" e cdrom; database_on "$p" e
      drive "$p" f network; database_on "$p" f; latest_progs_on "$p" f ;;
    no-drive)
      ordinary_settings "$p"
      remember_mapping "$p" F '\\fileserver\keldo'
      remember_mapping "$p" H '\\fileserver\my data'
      remember_mapping "$p" K '\\fileserver\old data\'
      drive "$p" d hd
      drive "$p" e cdrom; database_on "$p" e ;;
    late-drive | endless-net)
      # K: is remembered and its link leads nowhere until the stand-in
      # net.exe, after its delay, moves the prepared folder there.
      ordinary_settings "$p"
      remember_mapping "$p" K '\\fileserver\keldo'
      drive "$p" d hd
      drive "$p" k network; database_on "$p" k; latest_progs_on "$p" k
      mv "$p/drive_k" "$p/prepared_k" ;;
    unreadable-answer)
      # The stand-in website answers this serial with a page without markers.
      ordinary_settings "$p" 000000
      drive "$p" d hd; database_on "$p" d; latest_progs_on "$p" d ;;
    empty-latest-progs)
      ordinary_settings "$p"
      drive "$p" d hd; database_on "$p" d; mkdir -p "$p/drive_d/Keldo6/LATEST_PROGS" ;;
    folder-not-creatable)
      # A file where the folder belongs; root may write anywhere, so a
      # read-only folder would not stop it.
      ordinary_settings "$p"
      drive "$p" d hd; database_on "$p" d; : > "$p/drive_d/Keldo6/LATEST_PROGS" ;;
    *) lay_out ordinary "$p" ;;
  esac
}

# The fault the whole stand-in website shows in a scenario (its --fault),
# none when empty.
website_fault() {
  case $1 in
    website-stall | close-during-run) echo late ;;
  esac
}

# The file whose look-up the scenario makes slow (slow_stat.c), as the end
# of its Unix path, none when empty: the database's, on the drive that holds
# it, so that the drive search waits for it.
slow_path() {
  case $1 in
    slow-drive) echo /dosdevices/d:/Keldo6/GENDATA/GeneralKeldo6data.mdb ;;
  esac
}

# How many requests the website must have had once the scenario is over,
# none to check when empty.
website_requests() {
  case $1 in
    website-stall | close-during-run | slow-drive) echo 2 ;;
  esac
}

# Whether the stand-in website is up while the scenario runs.
# Behind a tunnelling proxy it is up elsewhere (run-wine-suite.sh).
website_up() { [[ $1 != website-down && $1 != proxy-tunnel && $1 != proxy-script ]]; }

# What the stand-in net.exe is told to do besides recording its command
# line (tests/windows/net_stub.cpp): how long the re-mapping takes, and the
# folder that then appears behind the letter.
net_stub_env() {  # scenario prefix
  case $1 in
    late-drive)
      echo "KELDO_NET_DELAY_MS=1500 KELDO_NET_MOVE_FROM=$(winpath "$2/prepared_k")" \
        "KELDO_NET_MOVE_TO=$(winpath "$2/drive_k")" ;;
    endless-net) echo "KELDO_NET_DELAY_MS=forever" ;;
  esac
}
