# Turns the DLL's .def into the import library's .def, and writes a C table that names
# every import slot, so the client can check each one is bound to the DLL's export of the
# same plain name.
#   ARCH=x86: the DLL's .def binds plain names to stdcall symbols (Name = Name@N); the
#             import library's .def lists the decorated names (Name@N), slots __imp__Name@N.
#   ARCH=x64: no decoration anywhere: plain names in, plain names out, slots __imp_Name.
# An export's fixed ordinal (" @N" at the end of its line) goes on to the import library.
if(NOT ARCH STREQUAL "x86" AND NOT ARCH STREQUAL "x64")
    message(FATAL_ERROR "ARCH must be x86 or x64, not '${ARCH}'")
endif()
file(STRINGS ${PLAIN_DEF} lines)
set(def "LIBRARY Quillon.dll\nEXPORTS\n")
set(decls "")
set(rows "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*(LIBRARY|EXPORTS)" OR line MATCHES "^[ \t]*(;.*)?$")
        continue()
    endif()
    if(ARCH STREQUAL "x86" AND
       line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*=[ \t]*([A-Za-z_][A-Za-z0-9_]*)@([0-9]+)([ \t]+@[0-9]+)?[ \t]*$")
        set(name ${CMAKE_MATCH_1})
        if(NOT name STREQUAL CMAKE_MATCH_2)
            message(FATAL_ERROR "export ${name} is bound to ${CMAKE_MATCH_2}")
        endif()
        set(symbol "${name}@${CMAKE_MATCH_3}")
        set(ordinal "${CMAKE_MATCH_4}")
        set(slot "__imp__${symbol}")
    elseif(ARCH STREQUAL "x64" AND
           line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_]*)([ \t]+@[0-9]+)?[ \t]*$")
        set(name ${CMAKE_MATCH_1})
        set(symbol "${name}")
        set(ordinal "${CMAKE_MATCH_2}")
        set(slot "__imp_${name}")
    else()
        message(FATAL_ERROR "${PLAIN_DEF}: not an ${ARCH} export line: '${line}'")
    endif()
    string(APPEND def "    ${symbol}${ordinal}\n")
    string(APPEND decls "extern void* imp_${name} __asm__(\"${slot}\");\n")
    string(APPEND rows "    {\"${name}\", &imp_${name}},\n")
    math(EXPR count "${count} + 1")
endforeach()
file(WRITE ${DECORATED_DEF} "${def}")
if(IMPORT_CHECK)
    file(WRITE ${IMPORT_CHECK} "/* Generated from Quillon.def: the import slots of every export. */
#include \"import_table.h\"

${decls}
const struct ImportSlot importSlots[] = {
${rows}};
const int importSlotCount = ${count};
")
endif()
