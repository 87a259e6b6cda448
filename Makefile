# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run   installs what is missing, builds the program (only), converts
#              the sample folder
#   make test  installs what is missing, builds everything, runs every test
#              (also under AddressSanitizer and UndefinedBehaviorSanitizer,
#              and under ThreadSanitizer), builds the Debian package and
#              checks it without installing it
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
JOBS       ?= $(shell nproc)
# The dependency build of "make windows-deps" runs at the lowest priority.
WINDOWS_DEPS_JOBS ?= 2
# How long "make fuzz" runs, in seconds.
FUZZ_SECONDS ?= 600
# The version of project() in CMakeLists.txt, the only place it is written.
VERSION    := $(shell sed -n 's/^project.Pagesmith VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB        := $(BUILD)/pagesmith_$(VERSION)_$(shell dpkg --print-architecture 2>/dev/null || echo amd64).deb

.PHONY: all deps configure build run test test-main test-asan test-tsan test-package package \
	package-check dist bench samples guide-shots fuzz clean windows-deps windows-configure \
	windows test-windows

all: build

deps:
	./tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

# The program, its tests, benchmarks and tools.
build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The main job: every TIFF of the sample folder to Group 4 in build/demo-out.
# Builds the program alone; tests and benchmarks wait for make test and make bench.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target pagesmith
	rm -rf $(BUILD)/demo-out
	./$(BUILD)/pagesmith /sc=g4 /d=data/samples /sd=$(BUILD)/demo-out

test: test-main test-asan test-tsan test-package

test-main: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The non-window code and its tests again, with sanitizers; any report fails.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPAGESMITH_SANITIZE=ON \
	    -DPAGESMITH_BUILD_UI=OFF -DPAGESMITH_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The non-window code and its tests again under ThreadSanitizer (optimised, as
# it runs several times slower); any report fails.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGESMITH_TSAN=ON \
	    -DPAGESMITH_BUILD_UI=OFF -DPAGESMITH_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	    ctest --output-on-failure -j $(JOBS)

# Feeds generated files to the engine and the file report under libFuzzer
# (clang, ASan, UBSan) for FUZZ_SECONDS, starting from seeds written by the
# test fixtures. An input that finds a fault lands in $(FUZZ_BUILD)/findings;
# keep it under tests/fuzz/regressions once mended, and make test replays it.
fuzz:
	./tools/install-deps.sh clang libclang-rt-dev
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPAGESMITH_FUZZ=ON \
	    -DPAGESMITH_BUILD_UI=OFF -DPAGESMITH_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target pagesmith-fuzz make-fuzz-seeds
	rm -rf $(FUZZ_BUILD)/seeds && ./$(FUZZ_BUILD)/tests/make-fuzz-seeds $(FUZZ_BUILD)/seeds
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ./$(FUZZ_BUILD)/tests/pagesmith-fuzz \
	    -max_total_time=$(FUZZ_SECONDS) -timeout=60 -rss_limit_mb=3072 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/ \
	    $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/seeds tests/fuzz/regressions

# The Debian package: $(BUILD)/pagesmith_VERSION_ARCH.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# The package's files, control fields, dependencies, lintian, the
# software-centre and desktop entries; nothing is installed.
test-package: package
	./tools/release/check-package.sh $(DEB) $(VERSION) $(BUILD)/package-check

# Installs the package on this machine with apt-get and tries the installed
# program, its manual page and its menu entry.
package-check: package
	./tools/release/install-package.sh $(DEB) $(VERSION)

# The source release: $(BUILD)/pagesmith-VERSION.tar.gz of the files tracked
# in the commit checked out.
dist:
	@git diff --quiet HEAD || echo "dist: changes not committed are left out"
	mkdir -p $(BUILD)
	git archive --prefix=pagesmith-$(VERSION)/ -o $(BUILD)/pagesmith-$(VERSION).tar.gz HEAD
	@echo "$(BUILD)/pagesmith-$(VERSION).tar.gz"

bench: build
	./bench/run-benchmarks.sh $(BUILD)

# Regenerates the committed sample folder with the project's own generator.
samples: build
	./$(BUILD)/tools/make-samples data/samples

# Makes the user guide's pictures again (resources/help/*.png) with the
# window's own code, offscreen.
guide-shots: configure
	cmake --build $(BUILD) -j $(JOBS) --target guide-shots

# Cross-builds the Windows build's libraries (Qt, libtiff, libjpeg, googletest)
# from Debian's sources into ~/.cache/pagesmith-mingw or PAGESMITH_MINGW_CACHE,
# once per version; cmake/mingw-w64-x86_64.cmake builds against them.
windows-deps:
	JOBS=$(WINDOWS_DEPS_JOBS) ./tools/windows/build-deps.sh

windows-configure: windows-deps
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPAGESMITH_BUILD_BENCH=OFF

# pagesmith.exe, and $(WINDOWS_BUILD)/pagesmith-VERSION-windows-x64.zip with
# the DLLs and plugins it needs, the user guide and the README.
windows: windows-configure
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target pagesmith
	./tools/windows/package.sh $(WINDOWS_BUILD)

# The Windows build's tests under Wine, then the sample folder and the shared
# test data through the Windows and the Linux program in every mode, the
# outputs compared byte for byte.
test-windows: configure windows
	cmake --build $(BUILD) -j $(JOBS) --target pagesmith convert-modes
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	JOBS=$(JOBS) ./tools/windows/test-windows.sh $(WINDOWS_BUILD) $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
