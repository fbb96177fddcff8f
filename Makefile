# Two commands do everything on a fresh Debian 12 machine:
#   make run   installs what is missing, builds the game and its assets, starts it
#   make test  the same set-up, then every test, plain, under ASan+UBSan, and the
#              thread-heavy tests under ThreadSanitizer
SHELL := /bin/bash
JOBS ?= $(shell nproc)
RELEASE := build/release
ASAN := build/asan
TSAN := build/tsan
FUZZ := build/fuzz
GENERATOR := -G Ninja

.PHONY: all deps build run install package test test-release test-asan test-tsan bench fuzz soak clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	cmake -S . -B $(RELEASE) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE) -j $(JOBS)

run: build
	$(RELEASE)/bin/lumarra

# The game, its sounds, menu entry, icons and man page under PREFIX.
PREFIX ?= /usr/local
install: build
	cmake --install $(RELEASE) --prefix $(PREFIX)

# A .deb of the release build in build/release.
package: build
	cmake --build $(RELEASE) --target package

test: test-release test-asan test-tsan

test-release: build
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARRA_SANITIZE=address -DLUMARRA_BUILD_ASSETS=OFF
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B $(TSAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARRA_SANITIZE=thread -DLUMARRA_THREAD_TESTS_ONLY=ON -DLUMARRA_BUILD_ASSETS=OFF
	cmake --build $(TSAN) -j $(JOBS)
	cd $(TSAN) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L thread

# The window benchmarks measure the layer's own cost: on the dummy video
# driver unless another is named (without a display no other would start).
bench: build
	@for b in $(RELEASE)/bench/*/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then SDL_VIDEODRIVER=$${SDL_VIDEODRIVER:-dummy} "$$b" || exit 1; fi; done

# libFuzzer builds of every fuzz target (clang); FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLUMARRA_SANITIZE=address -DLUMARRA_LIBFUZZER=ON -DLUMARRA_BUILD_ASSETS=OFF
	cmake --build $(FUZZ) -j $(JOBS)
	bash tools/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

# GAMES whole games by the scripted child under ASan+UBSan, in random modes
# and strengths; one line of totals with the sanitizers' reports counted.
GAMES ?= 200
soak: deps
	cmake -S . -B $(ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARRA_SANITIZE=address -DLUMARRA_BUILD_ASSETS=OFF
	cmake --build $(ASAN) -j $(JOBS) --target soak_games
	@log=$$(mktemp); \
	SDL_VIDEODRIVER=dummy LUMARRA_AUDIO=null LUMARRA_TIME_SCALE=$${LUMARRA_TIME_SCALE:-40} \
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(ASAN)/tests/game/soak_games $(GAMES) 2>$$log | tail -1 > $$log.line; \
	status=$${PIPESTATUS[0]}; reports=$$(grep -cE 'runtime error|ERROR: (Address|Leak)Sanitizer' $$log); \
	line=$$(cat $$log.line); rm -f $$log $$log.line; \
	echo "soak $$(echo "$$line" | sed "s/ \([0-9]* passed\)/ $$reports sanitizer reports, \1/")"; \
	[ $$status -eq 0 ] && [ $$reports -eq 0 ]

clean:
	rm -rf build
