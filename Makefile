# The two commands a newcomer needs, plus the pieces they are made of.
#   make demo   install what is missing, build, scan the bundled sample world
#   make test   install what is missing, build every preset, run every test
#   make package  the Windows zip archives and the Debian package, into build/package/

SHELL := /bin/bash
JOBS  ?= $(shell nproc)
DEMO_ARGS ?= 192.168.10.20:9570 AttributeScanner 5A.3C.00.11.22.33.44.55.66.77.88.99.AA.BB.CC.DD:0001

PACKAGES := $(CURDIR)/build/package

.PHONY: demo test package setup build-posix build-asan build-windows build-fuzz build-tsan test-posix test-asan test-windows test-fuzz test-tsan clean

setup:
	@scripts/setup.sh

build/posix/build.ninja:
	cmake --preset posix >/dev/null
build/posix-asan/build.ninja:
	cmake --preset posix-asan >/dev/null
build/windows/build.ninja:
	cmake --preset windows >/dev/null
build/fuzz/build.ninja:
	cmake --preset fuzz >/dev/null
build/posix-tsan/build.ninja:
	cmake --preset posix-tsan >/dev/null

build-posix: setup build/posix/build.ninja
	cmake --build --preset posix -j $(JOBS)
build-asan: setup build/posix-asan/build.ninja
	cmake --build --preset posix-asan -j $(JOBS)
build-windows: setup build/windows/build.ninja
	cmake --build --preset windows -j $(JOBS)
build-fuzz: setup build/fuzz/build.ninja
	cmake --build --preset fuzz -j $(JOBS) --target fuzzers
build-tsan: setup build/posix-tsan/build.ninja
	cmake --build build/posix-tsan -j $(JOBS) --target attrscan sansim_hbaapi worldgen

# The build's progress goes to standard error, so that standard output is the document.
demo:
	@$(MAKE) --no-print-directory build-posix >&2
	@scripts/demo.sh $(DEMO_ARGS)

test-posix: build-posix
	ctest --preset posix -j $(JOBS)
test-asan: build-asan
	ctest --preset posix-asan -j $(JOBS)
test-windows: build-windows
	scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
	ctest --preset windows -j $(JOBS)

# Every fuzz target a few seconds on its corpus.
test-fuzz: build-fuzz
	scripts/fuzz-smoke.sh

# Sequential and concurrent scans compared under ThreadSanitizer: a data race ends the
# scan with status 66, which the comparison reports. Address-space randomisation is off
# for these runs (setarch -R): with the high mmap entropy of newer kernels the sanitizer's
# runtime can refuse to start.
test-tsan: build-tsan
	CI=$${CI:-} WORLDS=30 TSAN_OPTIONS="halt_on_error=1 exitcode=66" setarch $$(uname -m) -R \
	  tests/concurrency/concurrency_test.sh posix build/posix-tsan/driver/attrscan \
	  build/posix-tsan/tools/worldgen/worldgen build/posix-tsan/sim

test: test-posix test-asan test-windows test-fuzz test-tsan

# CPack from each build: two zip archives from windows, one Debian package from posix.
package: build-posix build-windows
	cd build/posix && cpack -B $(PACKAGES) >&2
	cd build/windows && cpack -B $(PACKAGES) >&2
	@ls -l $(PACKAGES)/*.zip $(PACKAGES)/*.deb

clean:
	rm -rf build
