# make run    installs what is missing, builds, starts the console
# make test   installs what is missing, builds, runs every test
# make help   lists every target in a line
BUILD ?= build
BENCH_BUILD ?= build-bench
WIN_BUILD ?= build-win32
WINE_BUILD = $(shell /usr/lib/wine/wine --version >/dev/null 2>&1 && echo $(WIN_BUILD) || \
	echo build-win64)
CMAKE_FLAGS ?=
DEB_MAINTAINER ?=
DEB_FLAGS = $(if $(DEB_MAINTAINER),"-DLUMIVANE_DEB_MAINTAINER=$(DEB_MAINTAINER)")

.PHONY: deps build run test bench bench-windows wine-build print-wine-build windows deb package \
	clean help

deps: ## installs the Debian packages that building and testing need
	@scripts/install-deps

build: deps ## configures and builds in build/
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) \
		$(DEB_FLAGS) >/dev/null
	@cmake --build $(BUILD)

run: build ## installs what is missing, builds, starts the console
	@scripts/run-console $(BUILD)/app/lumivane

test: build ## installs what is missing, builds, runs every test
	@ctest --test-dir $(BUILD) --output-on-failure

bench: deps ## builds optimised in build-bench/, runs the benchmarks (Wine's too when built)
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD)
	@WINE_BUILD=$(WINE_BUILD) scripts/run-bench $(BENCH_BUILD)

bench-windows: wine-build ## times lumivane.exe's start-up under Wine against a bare dialog
	@scripts/bench-wine $(WINE_BUILD)

wine-build: ## builds for Windows as Wine here runs it (32-bit, else 64-bit)
	@if [ "$(WINE_BUILD)" = "$(WIN_BUILD)" ]; then \
		$(MAKE) --no-print-directory windows; \
	else \
		scripts/install-deps --windows && \
		cmake -S . -B $(WINE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
			-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DLUMIVANE_BUILD_GUI=OFF \
			-DLUMIVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null && \
		cmake --build $(WINE_BUILD); \
	fi

print-wine-build: ## prints which Windows build Wine runs here
	@echo $(WINE_BUILD)

windows: ## cross-compiles lumivane.exe (32-bit, static) and the tests into build-win32/
	@scripts/install-deps --windows
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DLUMIVANE_BUILD_GUI=OFF \
		-DLUMIVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WIN_BUILD)

deb: build ## builds and checks the .deb alone; DEB_MAINTAINER="Name <address>"
	@scripts/install-deps --deb
	@rm -f $(BUILD)/lumivane_*.deb
	@cd $(BUILD) && cpack -G DEB
	@scripts/check-deb $(BUILD)/lumivane_*.deb

package: deb windows ## builds all three packages: the .deb, the Windows zip and installer
	@if [ -f $(WIN_BUILD)/app/lumivane.exe ]; then \
		cd $(WIN_BUILD) && cpack -G "ZIP;NSIS"; \
	else \
		echo "package: no $(WIN_BUILD)/app/lumivane.exe yet (it needs the Win32 window backend):" \
		     "skipping the Windows zip and installer"; \
	fi

clean: ## removes the build folders
	rm -rf $(BUILD) $(BENCH_BUILD) $(WIN_BUILD)

help: ## lists these targets
	@sed -n -E 's/^([a-z-]+):.*## (.*)/  make \1|\2/p' $(firstword $(MAKEFILE_LIST)) | \
		awk -F'|' '{ printf "%-24s %s\n", $$1, $$2 }'
