# Thin wrapper over the CMake presets.
PRESET ?= ci
FUZZ_SECONDS ?= 20

.PHONY: deps build demo run run-demo screenshots test check-asan bench package fuzz format format-check clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

# The demo window where there is a display; the demo week as text where there is none.
demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		build/$(PRESET)/cli/nelvo --demo; \
	else \
		echo; echo "No display (DISPLAY and WAYLAND_DISPLAY are unset), so here is the demo week as text:"; \
		build/$(PRESET)/cli/nelvo print --demo; \
	fi

run: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target nelvo
	build/$(PRESET)/cli/nelvo

run-demo: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target nelvo
	build/$(PRESET)/cli/nelvo --demo

# PNGs of named window states under build/screenshots/.
screenshots: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) --target nelvo_screenshots
	build/$(PRESET)/screenshots/nelvo_screenshots --out build/screenshots

test: build format-check
	ctest --preset $(PRESET)

# The kit, app and ui test programs (the desktop-calendar tests on a private EDS included)
# under the sanitizers; the cli and e2e tests drive the same code through the binary.
check-asan: deps
	cmake --preset asan
	cmake --build --preset asan --target nelvo_kit_tests nelvo_app_tests nelvo_ui_tests
	ctest --preset asan -L '^nelvo_(kit|app|ui)_tests$$'

bench: deps
	cmake --preset default
	cmake --build --preset default
	@for b in build/default/bench/*_bench; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done
	@echo "== nelvo print"; bench/print_demo.sh build/default/cli/nelvo
	@echo "== the demo window"; bench/window_start.py build/default/cli/nelvo

# The Debian package, build/package/nelvo_<version>_<arch>.deb: a release build, stripped,
# its dependencies from dpkg-shlibdeps.
package: deps
	cmake --preset package
	cmake --build --preset package
	cd build/package && cpack

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

# The tree stays formatted: CI fails on a file clang-format would change.
format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf build
