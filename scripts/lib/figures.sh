# Sourced: reads the figures that the measuring tools print as NAME=VALUE lines.

# figure FILE NAME: the value of NAME in FILE (its last line if there are several).
# A missing figure ends the script: a figure left empty would go unnoticed in a table.
figure() {
  local value
  value=$(tr -d '\r' <"$1" | sed -n "s/^$2=//p" | tail -n 1)
  if [ -z "$value" ]; then
    echo "$(basename "$1") has no figure named $2:" >&2
    cat "$1" >&2
    exit 1
  fi
  echo "$value"
}
