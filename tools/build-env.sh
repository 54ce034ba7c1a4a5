# Sourced by the build, test and run scripts: where things are built and which build the tests run.
#   build_root   the i686 build: shipping binaries in build_root/bin (LUMAVEX_BUILD, default build/)
#   test_arch    i686 or x86_64 (tools/test-arch.sh)
#   test_build   the build whose programs run under Wine here: build_root itself for i686,
#                build_root/x86_64 for the 64-bit build of the same sources
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${LUMAVEX_BUILD:-$top/build}
case "$build_root" in /*) ;; *) build_root="$top/$build_root" ;; esac
test_arch=$(bash "$top/tools/test-arch.sh")
if [ "$test_arch" = i686 ]; then test_build=$build_root; else test_build=$build_root/x86_64; fi
