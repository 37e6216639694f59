# Quillory: `make test` sets up a fresh Debian 12 machine, builds, and runs the whole suite.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 10
JOBS       ?= $(shell nproc)
PACKAGES   := cmake ninja-build g++ pkg-config libwxgtk3.2-dev libwxgtk-webview3.2-dev \
              libwebkit2gtk-4.0-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
              libcurl4-openssl-dev libx11-dev libxtst-dev xvfb xauth fonts-dejavu-core dbus \
              openbox x11-utils chromium firefox-esr clang-format clang-tidy

XVFB := xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp"
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
# The fuzz targets need clang; `make test` fuzzes only where it is installed.
CLANGXX := $(shell command -v clang++ 2>/dev/null)
# .clang-format is written for clang-format 14 (Debian 12's); another version formats a little
# differently.
CLANG_FORMAT = $(firstword $(shell command -v clang-format-14 clang-format 2>/dev/null) clang-format)
# `make tidy TIDY_BASE=main` checks only the sources changed since main; unset, all of them.
TIDY_BASE ?=

.PHONY: all deps configure build asan test test-headless fuzz fuzz-deps fuzz-build run bench clean \
        format format-check structure tidy

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run: sudo apt-get install$$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLORY_WITH_GUI=OFF \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_C_FLAGS="$(SANITIZE)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE)"

configure: $(BUILD)/build.ninja

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The headless tests once more with AddressSanitizer and UndefinedBehaviorSanitizer; any
# report stops the test with a failure.
test-headless: asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE "gui|webkit"

# Formats every tracked C++ file in place with .clang-format.
format: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 -n 40 -P $(JOBS) $(CLANG_FORMAT) -i

# Fails when a tracked C++ file is not formatted as `make format` would; shows the lines.
format-check: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 -n 40 -P $(JOBS) $(CLANG_FORMAT) --dry-run -Werror \
	  || { echo "format-check: run 'make format'"; exit 1; }
	@echo "format-check: every tracked C++ file is formatted"

# File sizes and the include graph between folders: layers kept, no cycle.
structure:
	@tools/check-structure.py

# clang-tidy with .clang-tidy over the program's and the extension's sources (the build's compile_commands.json);
# with TIDY_BASE only those changed since it.
tidy: build
	tools/run-tidy $(BUILD) $(JOBS) $(TIDY_BASE)

# The whole suite runs on one Xvfb display managed by a real window manager, as a desktop is.
test: format-check structure build tidy test-headless $(if $(CLANGXX),fuzz)
	$(XVFB) dbus-run-session -- tests/support/with-window-manager ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

fuzz-deps: deps
	@if ! command -v clang++ >/dev/null 2>&1; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang; \
	  else \
	    echo "The fuzz targets need clang. Run: sudo apt-get install clang"; exit 1; \
	  fi; \
	fi

$(FUZZ_BUILD)/build.ninja: CMakeLists.txt | fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_WITH_GUI=OFF \
	  -DBUILD_TESTING=OFF -DQUILLORY_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
	  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"

fuzz-build: fuzz-deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Every target for FUZZ_SECONDS, all at once, from the seeds in fuzz/corpus/ and what earlier runs
# found (kept in the build folder). A crash, a leak or a hang fails the run; the input is left
# in $(FUZZ_BUILD)/crashes/. The targets' scratch files live in memory (flushed writes on a disk
# would make them twenty times slower).
FUZZ_TMPDIR ?= $(if $(wildcard /dev/shm/.),/dev/shm,/tmp)
fuzz: fuzz-build
	@mkdir -p $(FUZZ_BUILD)/crashes $(FUZZ_BUILD)/logs; pids=""; \
	for f in $(FUZZ_BUILD)/fuzzers/fuzz_*; do \
	  name=$${f##*/fuzz_}; mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  seeds=fuzz/corpus/$$name; [ -d $$seeds ] || seeds=; \
	  TMPDIR=$(FUZZ_TMPDIR) ASAN_OPTIONS=detect_leaks=1 $$f -max_total_time=$(FUZZ_SECONDS) -timeout=5 -rss_limit_mb=1024 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/crashes/$$name- \
	    $(FUZZ_BUILD)/corpus/$$name $$seeds > $(FUZZ_BUILD)/logs/$$name.log 2>&1 & pids="$$pids $$!:$$name"; \
	done; failed=""; \
	for p in $$pids; do \
	  if wait $${p%%:*}; then \
	    echo "fuzz $${p#*:}: $$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' $(FUZZ_BUILD)/logs/$${p#*:}.log | grep -o '[0-9]*$$') runs, no failure"; \
	  else failed="$$failed $${p#*:}"; tail -n 40 $(FUZZ_BUILD)/logs/$${p#*:}.log; fi; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzzing failed:$$failed (inputs in $(FUZZ_BUILD)/crashes/)"; exit 1; fi

# Quillory keeps its collection and settings beside the program: $(BUILD)/app/.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target quillory
	$(BUILD)/app/quillory

# The *_guibench programs need a display: without one they run under Xvfb.
bench: deps
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_WITH_GUI=ON -DQUILLORY_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target quillory_benches
	@for b in $(BUILD)-bench/bench/*; do if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; \
	  case "$$b" in \
	    *_guibench) GDK_BACKEND=x11 NO_AT_BRIDGE=1 $(if $(DISPLAY),,$(XVFB)) "$$b" || exit 1;; \
	    *) "$$b" || exit 1;; \
	  esac; fi; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BUILD)-bench $(FUZZ_BUILD)
