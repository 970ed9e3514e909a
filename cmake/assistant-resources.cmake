# cmake -DPAGES=DIR -DTYPELIB=FILE -DOUT=FILE -P assistant-resources.cmake
# Writes the resource script of the generated resources: every name of
# DIR/resources.list (the output of scripts/build-pages) as an RT_HTML (23)
# resource of language 2052, and the type library as TYPELIB 1.
file(STRINGS "${PAGES}/resources.list" names)
if(NOT names)
  message(FATAL_ERROR "no resources in ${PAGES}/resources.list")
endif()
set(rc "// Generated from resources.list; do not edit.\nLANGUAGE 4, 2\n")
foreach(name IN LISTS names)
  if(NOT name MATCHES "^[A-Z_][A-Z0-9_]*\\.[A-Z0-9]+$")
    message(FATAL_ERROR "unexpected resource name '${name}'")
  endif()
  string(APPEND rc "${name} 23 \"${PAGES}/${name}\"\n")
endforeach()
string(APPEND rc "1 TYPELIB \"${TYPELIB}\"\n")
# Written every time the pages are built, so the resources follow their content.
file(WRITE "${OUT}" "${rc}")
