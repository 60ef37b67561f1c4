# Turns the DLL's .def (Name = Name@N) into the import library's .def (Name@N), and writes
# a C table that names every import slot, so the client can check each one is bound to
# the DLL's export of the same plain name.
file(STRINGS ${PLAIN_DEF} lines)
set(def "LIBRARY Quillon.dll\nEXPORTS\n")
set(decls "")
set(rows "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*=[ \t]*([A-Za-z_][A-Za-z0-9_]*)@([0-9]+)")
        set(name ${CMAKE_MATCH_1})
        if(NOT name STREQUAL CMAKE_MATCH_2)
            message(FATAL_ERROR "export ${name} is bound to ${CMAKE_MATCH_2}")
        endif()
        set(bytes ${CMAKE_MATCH_3})
        string(APPEND def "    ${name}@${bytes}\n")
        string(APPEND decls "extern void* imp_${name} __asm__(\"__imp__${name}@${bytes}\");\n")
        string(APPEND rows "    {\"${name}\", &imp_${name}},\n")
        math(EXPR count "${count} + 1")
    endif()
endforeach()
file(WRITE ${DECORATED_DEF} "${def}")
file(WRITE ${IMPORT_CHECK} "/* Generated from Quillon.def: the import slots of every export. */
#include \"import_table.h\"

${decls}
const struct ImportSlot importSlots[] = {
${rows}};
const int importSlotCount = ${count};
")
