# Sourced by the check scripts: counts checks and prints one line each.
#   check DESCRIPTION COMMAND...   runs COMMAND; its success is the check
#   checks_done                    prints the count; fails when one failed
passed=0
failed=0

check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok      $what"
  else
    failed=$((failed + 1))
    echo "FAILED  $what"
  fi
}

checks_done() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
