# Entry points for people and CI. Every target bootstraps the Debian
# packages it needs first (a no-op on a ready machine).

JOBS ?= $(shell nproc)
GENERATOR := -G Ninja
DEV_DIR := build/debug
ASAN_DIR := build/asan
TSAN_DIR := build/tsan
FUZZ_DIR := build/fuzz
RELEASE_DIR := build/release
FUZZ_SECONDS ?= 30
FUZZERS := config_fuzz manifest_fuzz vast_fuzz
SOURCES = $(shell find include src tests tools fuzz bench -name '*.cpp' -o -name '*.hpp' 2>/dev/null)

.PHONY: all bootstrap build demo test sanitize tsan lint format fuzz fuzz-smoke bench clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	cmake -S . -B $(DEV_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DWARNINGS_AS_ERRORS=ON >/dev/null
	cmake --build $(DEV_DIR) -j $(JOBS)

# The main job on its embedded default.
demo: build
	$(DEV_DIR)/tools/telvora/telvora

test: build
	ctest --test-dir $(DEV_DIR) --output-on-failure -j $(JOBS)

sanitize: bootstrap
	cmake -S . -B $(ASAN_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DWARNINGS_AS_ERRORS=ON \
	  -DTELVORA_SANITIZE=address,undefined >/dev/null
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

tsan: bootstrap
	cmake -S . -B $(TSAN_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DWARNINGS_AS_ERRORS=ON \
	  -DTELVORA_SANITIZE=thread >/dev/null
	cmake --build $(TSAN_DIR) -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --test-dir $(TSAN_DIR) --output-on-failure -j $(JOBS)

lint: bootstrap
	@clang-format --dry-run --Werror $(SOURCES) && echo "lint: $(words $(SOURCES)) files formatted"

format: bootstrap
	clang-format -i $(SOURCES)

fuzz: bootstrap
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTELVORA_BUILD_FUZZERS=ON -DTELVORA_BUILD_TESTS=OFF -DTELVORA_BUILD_TOOLS=OFF \
	  -DTELVORA_INSTALL=OFF -DBUILD_SHARED_LIBS=OFF >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# Each fuzzer for FUZZ_SECONDS, from its seed corpus (copied, so the seeds in
# the tree stay as they are).
fuzz-smoke: fuzz
	@for f in $(FUZZERS); do \
	  name=$${f%_fuzz}; corpus=$(FUZZ_DIR)/corpus/$$name; \
	  mkdir -p $$corpus && cp fuzz/corpus/$$name/* $$corpus/ 2>/dev/null; \
	  echo "fuzz-smoke: $$f for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/fuzz/$$f -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -print_final_stats=1 \
	    $$corpus 2>$(FUZZ_DIR)/$$f.log || { tail -50 $(FUZZ_DIR)/$$f.log; exit 1; }; \
	  grep -E '^stat::number_of_executed_units' $(FUZZ_DIR)/$$f.log; \
	done

bench: bootstrap
	cmake -S . -B $(RELEASE_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTELVORA_BUILD_BENCH=ON \
	  -DTELVORA_BUILD_TESTS=OFF -DTELVORA_INSTALL=OFF >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	@for b in $(RELEASE_DIR)/bench/*_bench; do echo "== $$b"; $$b; done

clean:
	rm -rf build
