# Sourced by .ci/run and the steps in .ci/steps/ that install what a fresh
# machine lacks. Nothing may ask a question: without DEBIAN_FRONTEND set,
# installing tzdata stops at a prompt for the time zone and the run hangs.
#
#   installPackages [apt-get install options] package...
installPackages() {
    echo "installing: $*"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"
}
