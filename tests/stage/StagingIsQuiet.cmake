# A build whose staged databases both exist has nothing to stage and says nothing about
# creating them: a dry run of the staging target on the real build tree lists no step.
execute_process(COMMAND ${NINJA} -C ${BINARY_DIR} -n stage_databases
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ninja -n failed (${rc}): ${out}${err}")
endif()
foreach(db DATA SYS)
    if(NOT EXISTS ${BINARY_DIR}/stage/DATA/${db}.FDB)
        message(FATAL_ERROR "stage/DATA/${db}.FDB is missing after the build")
    endif()
endforeach()
if(out MATCHES "Creating missing database" OR out MATCHES "tk-mkdb")
    message(FATAL_ERROR "staging would run although both databases exist:\n${out}")
endif()
