# Sourced by the end-to-end scripts.
# wait_until SECONDS COMMAND...: retries COMMAND every tenth of a second until it succeeds
# or SECONDS have passed; fails in the latter case.
wait_until() {
  local limit=$(($1 * 10))
  shift
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
