# The README's two commands: `make run` and `make test`.
JOBS      ?= $(shell nproc)
BUILD     ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
# Line tables only: enough for sanitizer and debugger backtraces, and much less to
# compile and link than full debug information.
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
# The sanitizer trees at -O1, their test programs at -Og: the checks do not need -O2, and
# optimising the instrumented code is most of what these trees cost to compile.
SAN_CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONALITH_WERROR=ON \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
  -DTONALITH_TEST_COMPILE_OPTIONS=-Og
ASAN_ENV = ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test build bench deps test-deps unit clean format

run: deps build
	$(BUILD)/bin/tonalith

test: test-deps
	scripts/check-format
	scripts/check-layers
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DTONALITH_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	scripts/with-xvfb ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --timeout 600
	cmake -S . -B $(BUILD_ASAN) $(SAN_CMAKE_FLAGS) -DTONALITH_SANITIZE=ON
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	$(ASAN_ENV) scripts/with-xvfb ctest --test-dir $(BUILD_ASAN) -L '^(unit|xvfb)$$' -j $(JOBS) --output-on-failure --timeout 900
	cmake -S . -B $(BUILD_TSAN) $(SAN_CMAKE_FLAGS) -DTONALITH_TSAN=ON
	cmake --build $(BUILD_TSAN) -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --test-dir $(BUILD_TSAN) -L threads -j $(JOBS) --output-on-failure --timeout 900 --no-tests=ignore

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Every benchmark in full, one after another; each program writes $(BUILD)/bench/<name>.json.
bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target run-benchmarks

deps:
	@scripts/install-deps

test-deps:
	@scripts/install-deps --test

# Fast inner loop for developers: the normal build's unit tests only.
unit: test-deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DTONALITH_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) -L unit -j $(JOBS) --output-on-failure

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN)

# Formats every C++ file as .clang-format says (make test fails on any that is not).
format:
	scripts/check-format --fix
