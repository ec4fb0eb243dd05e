# Thin wrapper over the CMake presets.
PRESET ?= ci
FUZZ_SECONDS ?= 20

.PHONY: deps build demo test check-asan bench fuzz format clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

demo: build
	@echo
	build/$(PRESET)/cli/nelvo print --demo

test: build
	ctest --preset $(PRESET)

check-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: deps
	cmake --preset default
	cmake --build --preset default
	@for b in build/default/bench/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done
	@echo "== nelvo print --demo"; bench/print_demo.sh build/default/cli/nelvo

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	@for f in build/fuzz/fuzz/*_fuzz; do \
		name=$$(basename $$f); corpus=fuzz/corpus/$${name%_fuzz}; mkdir -p build/fuzz/corpus/$$name; \
		echo "== $$name ($(FUZZ_SECONDS) s)"; \
		$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=0 build/fuzz/corpus/$$name $$( [ -d $$corpus ] && echo $$corpus ) || exit 1; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
