#!/usr/bin/env bash
# The Debian package, built by CPack and installed with dpkg into an empty root: it holds
# exactly the scanner's home (home-files.txt) in /usr/lib/attrscan, the files listed in
# deb-files.txt, every packaged tool with its manual page and every sample world; dpkg
# puts each one there; each tool answers --help; each manual page renders without
# warnings; the declared dependencies name the package of every shared library its
# programs load; and attrscan-sim, the one-command simulated scan, prints the build tree's
# document from any folder.
#   deb_test.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) ||
    { cat "$tmp/cpack.log" >&2; fail "cpack"; }
debs=("$tmp"/pkg/attrscan_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one attrscan_*_amd64.deb, got ${debs[*]}"
deb=${debs[0]}
mapfile -t tools <"$build/packaging/tools.txt"

# The package's files.
{
  sed 's|^|usr/lib/attrscan/|' "$here/home-files.txt"
  cat "$here/deb-files.txt"
  for t in "${tools[@]}"; do echo "usr/bin/$t"; echo "usr/share/man/man1/$t.1.gz"; done
  for w in "$src"/worlds/*.json; do echo "usr/share/attrscan/worlds/${w##*/}"; done
} | LC_ALL=C sort >"$tmp/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort >"$tmp/packed"
diff "$tmp/expected" "$tmp/packed" >&2 || fail "package contents (< expected, > packed)"

# Installed into an empty root. Its database knows no other package, so the dependencies
# are checked below against this machine's instead.
root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(unshare -r)
"${as_root[@]}" dpkg --root="$root" --force-depends -i "$deb" >"$tmp/dpkg.log" 2>&1 ||
    { cat "$tmp/dpkg.log" >&2; fail "dpkg -i"; }
dpkg --root="$root" -L attrscan | while read -r path; do
  [ -e "$root$path" ] || fail "declared file $path missing after install"
done
while read -r path; do [ -f "$root/$path" ] || fail "$path not installed"; done <"$tmp/packed"

for t in "${tools[@]}"; do
  "$root/usr/bin/$t" --help >"$tmp/help" 2>&1 || fail "$t --help: exit status $?"
  grep -qw -- "$t" "$tmp/help" || fail "$t --help does not name the tool: $(head -3 "$tmp/help")"
done
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "${page##*/}: $warnings"
done

# Every shared library that a program or module of the package loads belongs to a package
# named in Depends, so that apt-get install ./attrscan_*.deb brings it.
depends=$(dpkg-deb -f "$deb" Depends)
find "$root/usr" -type f | while read -r file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  ldd "$file" | grep -q 'not found' && fail "${file#"$root"}: a library is not found"
  ldd "$file" | awk '$2 == "=>" { print $3 }'
done | LC_ALL=C sort -u >"$tmp/libs"
[ -s "$tmp/libs" ] || fail "no shared libraries found: the programs are missing"
while read -r lib; do
  owner=$(dpkg -S "$lib" 2>/dev/null || dpkg -S "/usr$lib" 2>/dev/null) || fail "no package owns $lib"
  owner=${owner%%:*}
  [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
      fail "$lib belongs to $owner, which Depends ($depends) does not name"
done <"$tmp/libs"

# The simulated scan in one command, against the build tree with the simulated library.
args=(10.0.0.5:9570 scanner01 5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001)
mkdir "$tmp/ref" "$tmp/scan"
(cd "$tmp/ref" && env -i SANSIM_WORLD="$src/worlds/sample.json" LD_LIBRARY_PATH="$build/sim" \
    "$build/driver/attrscan" "${args[@]}" >"$tmp/expected.xml" 2>/dev/null)
(cd "$tmp/scan" && env -i "$root/usr/bin/attrscan-sim" "${args[@]}" >"$tmp/scan.xml" 2>"$tmp/scan.err") ||
    fail "attrscan-sim: exit status $?"
[ ! -s "$tmp/scan.err" ] || fail "attrscan-sim: standard error: $(cat "$tmp/scan.err")"
cmp -s "$tmp/expected.xml" "$tmp/scan.xml" || fail "attrscan-sim: document differs from the build tree's"
[ -s "$tmp/scan/attrscan-trace.log" ] || fail "attrscan-sim: no trace in the current folder"
echo "Debian package test passed ($(stat -c %s "$deb") bytes)"
