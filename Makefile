# The two commands of the README: `make run` and `make test`. Each one installs
# what is missing (scripts/install-deps.sh) and builds what it needs.
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
TESTING := build/test

.PHONY: deps run test bench release testing format format-check clean

deps:
	@bash scripts/install-deps.sh

# Optimised build used by `make run` and `make bench`.
release: deps
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DTAVRELO_TESTS=OFF -DTAVRELO_BENCH=ON >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

# Test build: AddressSanitizer and UndefinedBehaviorSanitizer at -O1 with line tables only,
# which the sanitizers' reports need; full debug info and -O2 would more than double the
# build time for no better report. Every warning is an error here.
testing: deps
	@cmake -S . -B $(TESTING) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DTAVRELO_SANITIZE=ON \
		-DTAVRELO_WERROR=ON >/dev/null
	@cmake --build $(TESTING) -j $(JOBS)

test: testing
	@cd $(TESTING) && ctest --output-on-failure -j $(JOBS)

run: release
	@bash scripts/run.sh $(RELEASE)

bench: release
	@$(RELEASE)/bench/tavrelo-bench

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming the files, when one is not formatted as `make format` would leave it.
format-check: deps
	@clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf build
