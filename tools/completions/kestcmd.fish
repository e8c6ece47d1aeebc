# fish completion of kestcmd: subcommands, options, files, and for get, set and unset the
# addresses of the job named on the line (which kestcmd complete-address lists).

set -l subcommands complete check schema show graph fmt get set unset lsp

# The arguments after the subcommand on the line before the cursor, options and their values
# left out.
function __kestcmd_arguments
    set -l skip 0
    for word in (commandline -opc)[3..-1]
        if test $skip -eq 1
            set skip 0
        else if contains -- $word -o --output --threads --schema --ignore --severity --format --color
            set skip 1
        else if not string match -q -- '-*' $word
            echo $word
        end
    end
end

# The addresses that complete the token under the cursor, from the job named on the line.
function __kestcmd_addresses
    set -l job (__kestcmd_arguments)[1]
    set -l kestcmd (commandline -opc)[1]
    test -n "$job"; and $kestcmd complete-address $job (commandline -ct) 2>/dev/null
end

# True when the subcommand on the line is one of $argv[2..] and $argv[1] arguments stand after it.
function __kestcmd_at_argument
    contains -- (commandline -opc)[2] $argv[2..-1]; or return 1
    test (count (__kestcmd_arguments)) -eq $argv[1]
end

complete -c kestcmd -f
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -l help -s h -d 'Print this help message and exit'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -l version -d 'Display program version information and exit'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a complete -d 'Write the job completed with references and default values'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a check -d 'Report problems as FILE:LINE:COLUMN: SEVERITY: lines'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a schema -d 'Print the schema that check uses for a job here (or at JOB)'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a show -d 'Print the completed model with typed readings'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a graph -d 'Print the references between commands as a Graphviz DOT graph'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a fmt -d 'Lay out job files the way the writer does'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a get -d 'Print the value that an address names, as the file writes it'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a set -d 'Set the value that an address names'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a unset -d 'Remove the line of the item an address names'
complete -c kestcmd -n "not __fish_seen_subcommand_from $subcommands" -a lsp -d 'Serve the Language Server Protocol on standard input and output'

complete -c kestcmd -n "__fish_seen_subcommand_from $subcommands" -l help -s h -d 'Print this help message and exit'
complete -c kestcmd -n '__fish_seen_subcommand_from complete check show graph get set unset' -l threads -x -d 'Read the job on this many threads'
complete -c kestcmd -n '__fish_seen_subcommand_from complete show graph set unset' -l output -s o -r -F -d 'Write to this file'
complete -c kestcmd -n '__fish_seen_subcommand_from complete' -l changes -d 'List what completion added or changed instead of the job'
complete -c kestcmd -n '__fish_seen_subcommand_from check schema' -l schema -r -F -d 'A schema file laid over the built-in one; repeatable'
complete -c kestcmd -n '__fish_seen_subcommand_from check' -l ignore -x -d 'Leave out findings of this code; repeatable'
complete -c kestcmd -n '__fish_seen_subcommand_from check' -l severity -x -a 'error warning information' -d 'The least severity that makes check exit 1'
complete -c kestcmd -n '__fish_seen_subcommand_from check' -l format -x -a 'text json sarif' -d 'The output format'
complete -c kestcmd -n '__fish_seen_subcommand_from schema' -l format -x -a 'json markdown' -d 'The output format'
complete -c kestcmd -n '__fish_seen_subcommand_from check' -l json -d 'The same as --format json'
complete -c kestcmd -n '__fish_seen_subcommand_from check' -l color -x -a 'auto always never' -d 'Colour the text'
complete -c kestcmd -n '__fish_seen_subcommand_from show' -l json -d 'Print one JSON document'
complete -c kestcmd -n '__fish_seen_subcommand_from fmt' -l check -d 'Change nothing; list the files that would change'
complete -c kestcmd -n '__fish_seen_subcommand_from fmt' -l in-place -s i -d 'Rewrite each file in place'

# Files: the job, and check's and fmt's files; addresses after the job of get, set and unset.
complete -c kestcmd -n '__kestcmd_at_argument 0 complete schema show graph get set unset' -F
complete -c kestcmd -n '__fish_seen_subcommand_from check' -F
complete -c kestcmd -n '__fish_seen_subcommand_from fmt' -F
complete -c kestcmd -n '__kestcmd_at_argument 1 get set unset' -a '(__kestcmd_addresses)'
