# Writes the page's files from their templates with the build's facts filled in: what the two
# big files weigh (for the progress bar), the letterbox colour from the game's own constant,
# and the site's version (the service worker keeps one version's files together).
# cmake -DWEB_DIR=packaging/web -DOUT_DIR=... -DLETTERBOX=#0d172a -DJS=... -DWASM=... -DDATA=... -P page.cmake
file(SIZE ${WASM} ORBILUX_WASM_BYTES)
file(SIZE ${DATA} ORBILUX_DATA_BYTES)
set(ORBILUX_LETTERBOX ${LETTERBOX})
set(hashes)
foreach(input ${JS} ${WASM} ${DATA} ${WEB_DIR}/index.html ${WEB_DIR}/sw.js ${WEB_DIR}/manifest.webmanifest
              ${WEB_DIR}/words.js ${WEB_DIR}/scorm.js)
  file(SHA256 ${input} hash)
  string(APPEND hashes ${hash})
endforeach()
string(SHA256 ORBILUX_SITE_VERSION "${hashes}")
string(SUBSTRING ${ORBILUX_SITE_VERSION} 0 16 ORBILUX_SITE_VERSION)
foreach(name index.html sw.js manifest.webmanifest)
  configure_file(${WEB_DIR}/${name} ${OUT_DIR}/${name} @ONLY)
endforeach()
