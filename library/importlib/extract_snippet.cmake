# Writes the first ```c block of a Markdown page to a .c file, so the page's example is
# compiled, linked and run like any caller's program.
file(READ ${PAGE} text)
string(FIND "${text}" "```c\n" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${PAGE} has no C example")
endif()
math(EXPR start "${start} + 5")
string(SUBSTRING "${text}" ${start} -1 rest)
string(FIND "${rest}" "\n```" end)
string(SUBSTRING "${rest}" 0 ${end} code)
file(WRITE ${OUTPUT} "${code}\n")
