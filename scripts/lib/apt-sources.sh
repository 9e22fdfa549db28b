# Sourced by scripts/bootstrap: reads the machine's own apt sources.
#   apt_archive_source CODENAME [FILE...]
#     prints "URI KEYRING" of the first binary (deb) entry for the release CODENAME itself (not
#     its -security or -updates suites), from one-line .list files and deb822 .sources files;
#     KEYRING is the entry's Signed-By, or empty. Answers 1 when there is none.
#     The files default to /etc/apt/sources.list and /etc/apt/sources.list.d/*.{list,sources}.
apt_archive_source() {
  local codename=$1 file found
  shift
  [ $# -gt 0 ] || set -- /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
  for file in "$@"; do
    [ -f "$file" ] || continue
    case $file in
      *.sources) found=$(_apt_deb822_source "$codename" <"$file") ;;
      *) found=$(_apt_one_line_source "$codename" <"$file") ;;
    esac
    [ -n "$found" ] && { echo "$found"; return 0; }
  done
  return 1
}

# deb [opt=value ...] URI SUITE COMPONENT...
_apt_one_line_source() {
  awk -v codename="$1" '
    { sub(/#.*/, "") }
    $1 != "deb" { next }
    {
      keyring = ""; i = 2
      if ($2 ~ /^\[/) {
        for (; i <= NF; i++) {
          if ($i ~ /^\[?signed-by=/) { keyring = $i; sub(/^\[?signed-by=/, "", keyring); sub(/\]$/, "", keyring) }
          if ($i ~ /\]$/) { i++; break }
        }
      }
      if ($(i + 1) == codename) { print $i, keyring; exit }
    }'
}

# Stanzas of "Field: value" lines, separated by blank lines.
_apt_deb822_source() {
  awk -v codename="$1" '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " codename " ") && enabled != "no" && uri != "")
        { print uri, keyring; found = 1; exit }
      types = suites = uri = keyring = enabled = ""
    }
    /^#/ { next }
    /^[ \t]*$/ { flush(); next }
    /^[ \t]/ { next }  # continuation of a multi-line value, such as a key written inline
    {
      field = tolower($1); sub(/:$/, "", field)
      value = $0; sub(/^[^:]*:[ \t]*/, "", value); sub(/[ \t]+$/, "", value)
      if (field == "types") types = value
      else if (field == "suites") suites = value
      else if (field == "uris") { uri = value; sub(/ .*/, "", uri) }
      else if (field == "signed-by") keyring = value
      else if (field == "enabled") enabled = tolower(value)
    }
    END { if (!found) flush() }'
}
