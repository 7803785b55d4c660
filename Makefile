# The project's entry points. Every target installs what it needs first (scripts/bootstrap).
.PHONY: demo test bench fuzz format install

DEMO_ARGS ?=

demo:
	@scripts/bootstrap
	@cmake --preset debug >/dev/null
	@cmake --build --preset debug --target zelvorn
	@build/debug/app/zelvorn demo $(DEMO_ARGS)
	@scripts/x11-demo build/debug/app/zelvorn build/zelvorn-demo.png

test:
	@scripts/bootstrap
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan
	@scripts/check-format

bench:
	@scripts/bootstrap
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@scripts/run-benchmarks build/release

fuzz:
	@scripts/bootstrap
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz

PREFIX ?= $(HOME)/.local

install:
	@scripts/bootstrap
	@cmake --preset release -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build --preset release --target zelvorn
	@cmake --install build/release
	@if command -v update-desktop-database >/dev/null; then update-desktop-database $(PREFIX)/share/applications; fi
	@if command -v xdg-mime >/dev/null; then xdg-mime default zelvorn.desktop x-scheme-handler/zelvorn; fi

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i
