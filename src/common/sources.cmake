# Below every subsystem: the little-endian getters (header only), the
# module-wide values and the error reports, which every layer may use.
target_sources(vantrel_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TextWriter.cpp
)

if(VANTREL_WINDOWS)
    target_sources(vantrel_win32 PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/ErrorReports.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ModuleState.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TargetPath.cpp
    )
endif()
