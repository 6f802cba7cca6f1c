# Thin wrapper over CMake. `make` builds, `make test` builds and runs every test,
# `make demo` starts the dialog on the bundled demo installation.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
BUILD_BENCH ?= build-bench
BUILD_WIN  ?= build-windows
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 10
GEN        := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

DEBS := cmake ninja-build g++ libgtest-dev libgmock-dev \
        libbenchmark-dev tmux clang libclang-rt-14-dev lld procps \
        mingw-w64 wine64

.PHONY: all build deps test unit asan fuzz demo bench bench-build ordre clean windows windows-test

all: build

deps:
	@missing=""; for p in $(DEBS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else echo "Missing Debian packages:$$missing (run as root to install)"; fi; \
	fi

build:
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test: deps build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) asan fuzz windows-test

asan:
	cmake -S . -B $(BUILD_ASAN) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKEV_SANITIZE=ON >/dev/null
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD_ASAN) -L unit --output-on-failure -j $(JOBS)

fuzz:
	CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEV_FUZZ=ON -DKEV_WERROR=OFF >/dev/null
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	tests/fuzz/run.sh $(BUILD_FUZZ)/bin $(FUZZ_SECONDS)

# kevprint.exe cross-built with mingw-w64, its tests run under wine (headless, with a
# prefix inside the build folder).
windows:
	cmake -S . -B $(BUILD_WIN) $(GEN) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD_WIN) -j $(JOBS)

windows-test: windows
	env -u DISPLAY -u WAYLAND_DISPLAY ctest --test-dir $(BUILD_WIN) --output-on-failure -j $(JOBS)

demo: build
	demo/run.sh $(BUILD)/bin/kevprint

bench-build:
	cmake -S . -B $(BUILD_BENCH) $(GEN) -DCMAKE_BUILD_TYPE=Release -DKEV_BENCH=ON -DKEV_TESTS=OFF >/dev/null
	cmake --build $(BUILD_BENCH) -j $(JOBS)

bench: bench-build
	bench/run.sh $(BUILD_BENCH)/bin

# Lists again the functions a start-to-exit run executes, which the link lays out together
# (run it after changes to what a run does; needs valgrind).
ordre: bench-build
	bench/ordre_arrencada $(BUILD_BENCH)/bin > src/arrencada.ordre.new
	mv src/arrencada.ordre.new src/arrencada.ordre
	cmake --build $(BUILD_BENCH) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ) $(BUILD_BENCH) $(BUILD_WIN)
