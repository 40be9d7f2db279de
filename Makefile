# Thin targets over CMake: `make demo` runs both programs on examples/, `make test` runs every test.
# Each target first installs the Debian packages it needs that are missing (tools/dependencias.sh).
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
OUT ?= out
DEPENDENCIAS = tools/dependencias.sh

.PHONY: all build demo test test-sanitize deb clean

all: build

build:
	$(DEPENDENCIAS) build
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMORV_TESTS=OFF
	cmake --build build -j $(JOBS)

demo: build
	$(DEPENDENCIAS) demo
	examples/demo.sh build $(OUT)

test:
	$(DEPENDENCIAS) build test
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORV_WERROR=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure --no-tests=error -j $(JOBS)

test-sanitize:
	$(DEPENDENCIAS) build test
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMORV_WERROR=ON -DMORV_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure --no-tests=error -j $(JOBS)

# A Debian package of the programs, filters, printer models, manuals and example form, built for
# /usr, where CUPS and the package tools look, with Debian's hardening flags, and checked by
# lintian, which must find no error. MANTENEDOR="Name <address>" names the package's maintainer
# (or DEBFULLNAME and DEBEMAIL, as for the Debian tools).
OPCOES_DEBIAN = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
deb:
	$(DEPENDENCIAS) build deb
	cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DMORV_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(OPCOES_DEBIAN) CPPFLAGS) $$($(OPCOES_DEBIAN) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(OPCOES_DEBIAN) LDFLAGS)" \
	  $(if $(MANTENEDOR),-DMORV_MANTENEDOR="$(MANTENEDOR)")
	cmake --build build-deb -j $(JOBS)
	rm -f build-deb/*.deb
	cd build-deb && cpack -G DEB
	lintian --fail-on error build-deb/*.deb

clean:
	rm -rf build build-test build-asan build-fuzz build-deb $(OUT)

# `make studio` starts morvstudio on a copy of the example in $(OUT)/studio, where its form is
# saved (a copy already there is kept), on 127.0.0.1:$(PORTA); it prints the address to open
# and runs until Ctrl+C.
PORTA ?= 8080
.PHONY: studio
studio: build
	mkdir -p $(OUT)/studio
	for f in relatorio.txt formulario.fmt logo.bmp; do \
	  [ -e $(OUT)/studio/$$f ] || cp examples/$$f $(OUT)/studio/; done
	cd $(OUT)/studio && $(CURDIR)/build/morvstudio -p $(PORTA) relatorio.txt formulario.fmt

# `make bench` times both programs on a generated report (bench/bench.sh; PAGINAS=... to resize).
.PHONY: bench
bench: build
	$(DEPENDENCIAS) bench
	bench/bench.sh build

# `make fuzz` builds the libFuzzer harnesses of tests/fuzz with clang in build-fuzz and runs each
# for FUZZ_SECONDS on its seeds; any crash, leak, undefined behaviour or hang fails it.
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	$(DEPENDENCIAS) build fuzz
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DMORV_FUZZ=ON -DMORV_TESTS=OFF -DMORV_WERROR=ON
	cmake --build build-fuzz -j $(JOBS)
	tests/fuzz/executa.sh build-fuzz $(FUZZ_SECONDS)
