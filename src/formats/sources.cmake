# The platform-free formats: byte and header arithmetic that never includes
# windows.h, built natively for the unit tests, sanitizers, fuzzers and
# benchmarks. Every other folder may include these files; they include only
# each other.
target_sources(vantrel_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BoundedName.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClipboardBlocks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DibLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupDirectory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemberPixels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemoryFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NeIdIndex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NeResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformDecisions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceRecords.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringBlock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TargetCheck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TemplatePatch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextWriter.cpp
)
