# Every batch of the speed table against the libtiff tools: tools-bench [--runs N] [--only WORD] [--keep]
if(TARGET pagesmith)
    add_executable(tools-bench ${CMAKE_CURRENT_LIST_DIR}/tools_bench.cpp)
    target_link_libraries(tools-bench PRIVATE pagesmith_bench_support TIFF::TIFF)
    target_compile_definitions(tools-bench PRIVATE PAGESMITH_BINARY="$<TARGET_FILE:pagesmith>")
    add_dependencies(tools-bench pagesmith)
endif()
