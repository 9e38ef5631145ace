# Sourced by the package tests: compares the two tables of folder $1 with those of folder $2, all
# but the date of the last update (header bytes 1-3); $3 names the second converter in messages.
# Calls the sourcing script's fail() for each difference.
same_tables() {
  local table a b
  for table in Справочник.dbf Приходы.dbf; do
    a=$1/$table b=$2/$table
    if [ ! -s "$a" ] || [ ! -s "$b" ]; then
      fail "$table is missing"
    elif ! cmp -s <(head -c 1 "$a") <(head -c 1 "$b") ||
      ! cmp -s <(tail -c +5 "$a") <(tail -c +5 "$b"); then
      fail "$table differs from $3's (from byte 5 on)"
    else
      echo "ok: $table, $(stat -c %s "$a") bytes, as $3 writes it"
    fi
  done
}
