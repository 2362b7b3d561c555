# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build/release
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run soak bench asan tsan clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNEVRIK_BUILD_BENCH=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@bash scripts/with-display.sh ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure --timeout 600

# Starts the picking sample from $(BUILD_DIR)/run; without a display it drives it
# under Xvfb, saves screenshots and closes it (scripts/run-sample.sh).
run: build
	@bash scripts/run-sample.sh $(BUILD_DIR)

# Random mouse input for SOAK_SECONDS (600 by default); not part of `make test`.
SOAK_SECONDS ?= 600
soak: build
	@bash scripts/soak-sample.sh $(BUILD_DIR) $(SOAK_SECONDS)

bench: build
	@for b in $(BUILD_DIR)/bench/nevrik_*_bench; do echo "== $$b"; $$b; done

# The sanitizer trees are whole builds of their own: ccache, when installed,
# makes rebuilding them cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# AddressSanitizer and UndefinedBehaviorSanitizer over every test.
asan: deps
	@cmake --preset asan $(LAUNCHER) >/dev/null && cmake --build --preset asan -j $(JOBS)
	@bash scripts/with-display.sh ctest --preset asan -j $(JOBS)

# ThreadSanitizer over every test, the stress tests longer; the preset's
# suppressions (cmake/tsan.supp) cover the GL driver and Xlib only.
tsan: deps
	@cmake --preset tsan $(LAUNCHER) >/dev/null && cmake --build --preset tsan -j $(JOBS)
	@bash scripts/with-display.sh ctest --preset tsan -j $(JOBS)

clean:
	rm -rf build
