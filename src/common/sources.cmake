# Below every subsystem: the module-wide values, the target's path and the
# error reports, which every layer may use.
target_sources(vantrel_win32 PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ErrorReports.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModuleState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TargetPath.cpp
)
