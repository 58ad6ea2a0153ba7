# The two commands of the README: `make run` and `make test`. Each one installs
# what is missing (scripts/install-deps.sh) and builds what it needs.
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
TESTING := build/test
PACKAGE := build/package
FUZZING := build/fuzz
TSAN := build/tsan
# The tests run under ThreadSanitizer: those that make books on several threads, hold them,
# refuse them threads or memory; the signals' clean-up, and the window's own tests of its
# book's threads and signals.
TSAN_TESTES := LivroEmParalelo|Pausa\.|FazerLivroTeste\.|LivrosEmParalelo|Sinais\.|JanelaFios

.PHONY: deps run test bench release testing fuzzing tsan package format format-check clean

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

# The fuzz targets: clang 14 with libFuzzer, AddressSanitizer and UBSan, the libraries with
# coverage; only what the fuzz targets need is built. ctest runs each for a few seconds.
fuzzing: deps
	@cmake -S . -B $(FUZZING) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DTAVRELO_SANITIZE=ON \
		-DTAVRELO_FUZZ=ON -DTAVRELO_TESTS=OFF >/dev/null
	@cmake --build $(FUZZING) -j $(JOBS) --target tavrelo_fuzz

# ThreadSanitizer build (gcc, -O1, line tables only): only the test programs of what runs on
# several threads, and the programs they run; ctest runs only their tests of threads
# (TSAN_TESTES). Qt's own internals, which Debian does not build with the sanitizer, are named
# in tests/tsan.supp.
tsan: deps
	@cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DTAVRELO_TSAN=ON -DTAVRELO_WERROR=ON >/dev/null
	@cmake --build $(TSAN) -j $(JOBS) --target test_generation test_frontend test_files \
		test_cli test_janela

test: testing fuzzing tsan
	@cd $(TESTING) && ctest --output-on-failure -j $(JOBS)
	@cd $(FUZZING) && ctest --output-on-failure -j $(JOBS)
	@cd $(TSAN) && ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTES)'

run: release
	@bash scripts/run.sh $(RELEASE)

bench: release
	@$(RELEASE)/bench/tavrelo-bench

# The Debian package tavrelo_<version>_amd64.deb, in this folder: an optimised build for /usr
# with Debian's hardening flags (less its -g -O2: the build type gives the optimisation and
# the package carries no debug information), the tests and benchmarks left out, cpack, then
# the checks a Debian maintainer runs on it.
package: deps
	@eval "$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP='-g -O2' \
		dpkg-buildflags --export=sh)" && \
	cmake -S . -B $(PACKAGE) -DCMAKE_BUILD_TYPE=Release -DTAVRELO_TESTS=OFF -DTAVRELO_BENCH=OFF \
		-DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$$CPPFLAGS $$CXXFLAGS" \
		-DCMAKE_EXE_LINKER_FLAGS="$$LDFLAGS" >/dev/null
	@cmake --build $(PACKAGE) -j $(JOBS)
	@rm -f $(PACKAGE)/*.deb
	@cd $(PACKAGE) && cpack -G DEB
	@cp $(PACKAGE)/*.deb .
	@bash scripts/lint-package.sh $(PACKAGE)/*.deb

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming the files, when one is not formatted as `make format` would leave it.
format-check: deps
	@clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf build
