# Writes the page with the sizes of the two files it loads filled in:
# cmake -DTEMPLATE=index.html -DOUTPUT=... -DWASM=... -DDATA=... -P page.cmake
file(SIZE ${WASM} ORBILUX_WASM_BYTES)
file(SIZE ${DATA} ORBILUX_DATA_BYTES)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
