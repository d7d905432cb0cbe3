# Quavero: the two commands of the README, and a few more for developers.
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, check format, layers and clang-tidy, run every
#               test (also under ASan/UBSan)
#   make bench  build optimised and run the benchmarks
#   make install   install the program under PREFIX (default /usr/local; DESTDIR honoured)
#   make package   build a Debian package (build-package/quavero_VERSION_ARCH.deb)

BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build run test test-tidy test-ctest test-asan format-check format bench fuzz \
    install package clean

all: build

deps:
	@scripts/install-deps.sh test

# The program alone: only what building and running it needs, and only its target.
run:
	@scripts/install-deps.sh run
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAVERO_WERROR=ON \
	    -DQUAVERO_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target quavero
	@scripts/run.sh $(BUILD)

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAVERO_WERROR=ON \
	    -DQUAVERO_TESTS=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

install:
	@scripts/install-deps.sh run
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAVERO_WERROR=ON \
	    -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target quavero quavero-scan
	@cmake --install $(BUILD) --prefix $(PREFIX)

package:
	@scripts/install-deps.sh package
	@cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUAVERO_WERROR=ON \
	    -DQUAVERO_TESTS=OFF >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target quavero quavero-scan
	@cd $(PACKAGE_BUILD) && cpack -G DEB >/dev/null && ls -1 $(CURDIR)/$(PACKAGE_BUILD)/*.deb

# Three lines of work at once, each over every processor: the build, then clang-tidy and the
# tests; the ASan/UBSan build, then its tests. Each leaves processors idle at times (configuring,
# linking one program after another, tests that wait), which the others then use; the output of
# each step is shown whole when it ends (-O).
test: format-check
	@$(MAKE) --no-print-directory -j 3 -O test-tidy test-ctest test-asan

test-tidy: build
	@scripts/tidy.sh $(BUILD)

test-ctest: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQUAVERO_SANITIZE=ON \
	    -DQUAVERO_WERROR=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

format-check: deps
	@scripts/format.sh --check
	@scripts/check-layers.sh

format:
	@scripts/format.sh

bench:
	@scripts/install-deps.sh bench
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQUAVERO_BENCH=ON \
	    -DQUAVERO_TESTS=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@scripts/bench.sh $(BENCH_BUILD)

fuzz:
	@scripts/install-deps.sh fuzz
	@CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DQUAVERO_FUZZ=ON -DQUAVERO_GUI=OFF -DQUAVERO_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
