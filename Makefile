# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build/release
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench asan tsan clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNEVRIK_BUILD_BENCH=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@bash scripts/with-display.sh ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure --timeout 600

RUN_DIR := $(BUILD_DIR)/run

# Until the sample lands, `make run` prepares its data and says what it will start.
run: build
	@mkdir -p $(RUN_DIR)
	@$(BUILD_DIR)/tools/nevrik_modelgen --output $(RUN_DIR)/data
	@echo "The picking sample is not built yet; once it is, 'make run' starts it in $(RUN_DIR)."

bench: build
	@for b in $(BUILD_DIR)/bench/nevrik_*_bench; do echo "== $$b"; $$b; done

asan: deps
	@cmake --preset asan >/dev/null && cmake --build --preset asan -j $(JOBS)
	@bash scripts/with-display.sh ctest --preset asan -j $(JOBS)

tsan: deps
	@cmake --preset tsan >/dev/null && cmake --build --preset tsan -j $(JOBS)
	@bash scripts/with-display.sh ctest --preset tsan -j $(JOBS)

clean:
	rm -rf build
