# Writes the service worker of a built site: every file in it (but the worker itself), and a
# version that changes whenever any of them does. Run by scripts/build-web once the site is
# complete, so a file added to the site is cached with no list to keep up.
# Usage: cmake -DSITE=<site folder> -DTEMPLATE=<sw.js.in> -P web-offline.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
# The worker's own code is part of the version: a new one starts with a cache of its own.
file(SHA256 ${TEMPLATE} digests)
string(APPEND digests "\n")
set(TESSLE_SITE_FILES "")
foreach(file ${files})
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND TESSLE_SITE_FILES "\n  '${file}',")
endforeach()
string(APPEND TESSLE_SITE_FILES "\n")
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 TESSLE_SITE_VERSION)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
