# A whole folder through the program against tiffcp per file: batch-bench [--files 100,500] [--keep]
if(TARGET pagesmith)
    add_executable(batch-bench ${CMAKE_CURRENT_LIST_DIR}/batch_bench.cpp)
    target_link_libraries(batch-bench PRIVATE pagesmith_bench_support TIFF::TIFF)
    target_compile_definitions(batch-bench PRIVATE PAGESMITH_BINARY="$<TARGET_FILE:pagesmith>")
    add_dependencies(batch-bench pagesmith)
endif()
