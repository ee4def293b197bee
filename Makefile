# make run    installs what is missing, builds, starts the console
# make test   installs what is missing, builds, runs every test
# make bench  installs what is missing, builds optimised, runs the benchmarks (and the one
#              under Wine when a Windows build is there)
# make wine-build builds for Windows as Wine here runs it: make windows, or where the kernel
#              runs no 32-bit programs (nor 32-bit Wine) the same for 64-bit Windows
# make bench-windows builds lumivane.exe so and benchmarks it under Wine
# make windows cross-compiles for 32-bit Windows into build-win32: build-win32/app/lumivane.exe,
#              statically linked, and the tests
# make deb    builds the Debian package in build/ and checks it (lintian, its files, the
#              packaged program); no Windows tool needed. DEB_MAINTAINER="Name <address>" names
#              its maintainer
# make package builds all three packages: make deb, and for Windows the zip and the installer
#              in build-win32/ (cross-compiled, so it needs mingw-w64 and NSIS)
BUILD ?= build
BENCH_BUILD ?= build-bench
WIN_BUILD ?= build-win32
WINE_BUILD = $(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo $(WIN_BUILD) || \
	echo build-win64)
CMAKE_FLAGS ?=
DEB_MAINTAINER ?=
DEB_FLAGS = $(if $(DEB_MAINTAINER),"-DLUMIVANE_DEB_MAINTAINER=$(DEB_MAINTAINER)")

.PHONY: deps build run test bench bench-windows wine-build print-wine-build windows deb package \
	clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) \
		$(DEB_FLAGS) >/dev/null
	@cmake --build $(BUILD)

run: build
	@scripts/run-console $(BUILD)/app/lumivane

test: build
	@ctest --test-dir $(BUILD) --output-on-failure

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD)
	@WINE_BUILD=$(WINE_BUILD) scripts/run-bench $(BENCH_BUILD)

bench-windows: wine-build
	@scripts/bench-wine $(WINE_BUILD)

wine-build:
	@if [ "$(WINE_BUILD)" = "$(WIN_BUILD)" ]; then \
		$(MAKE) --no-print-directory windows; \
	else \
		scripts/install-deps --windows && \
		cmake -S . -B $(WINE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
			-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DLUMIVANE_BUILD_GUI=OFF \
			-DLUMIVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null && \
		cmake --build $(WINE_BUILD); \
	fi

print-wine-build:
	@echo $(WINE_BUILD)

windows:
	@scripts/install-deps --windows
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DLUMIVANE_BUILD_GUI=OFF \
		-DLUMIVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WIN_BUILD)

deb: build
	@scripts/install-deps --deb
	@rm -f $(BUILD)/lumivane_*.deb
	@cd $(BUILD) && cpack -G DEB
	@scripts/check-deb $(BUILD)/lumivane_*.deb

package: deb windows
	@if [ -f $(WIN_BUILD)/app/lumivane.exe ]; then \
		cd $(WIN_BUILD) && cpack -G "ZIP;NSIS"; \
	else \
		echo "package: no $(WIN_BUILD)/app/lumivane.exe yet (it needs the Win32 window backend):" \
		     "skipping the Windows zip and installer"; \
	fi

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(WIN_BUILD)
