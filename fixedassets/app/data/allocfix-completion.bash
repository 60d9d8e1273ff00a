# Bash completion of allocfix. The build puts the program's own list of its subcommands, options
# and what their values are (allocfix --help-completion) before these functions.
# Words of compgen are split on purpose; the _allocfix_* lists come from that data.
# shellcheck disable=SC2206,SC2207,SC2154

# Offers the files the shell sees that end in one of the suffixes (comma-separated), and folders.
_allocfix_files() {
    local cur=$1 suffixes=,$2, path
    compopt -o filenames 2>/dev/null
    while IFS= read -r path; do
        if [[ -d $path || $suffixes == *",${path##*.},"* ]]; then
            COMPREPLY+=("$path")
        fi
    done < <(compgen -f -- "$cur")
}

# Offers the values of one kind: Language, Format, Command, AccountSet, File:<suffixes>, or None.
_allocfix_values() {
    local kind=$1 cur=$2
    case $kind in
    Language) COMPREPLY+=($(compgen -W "$_allocfix_languages" -- "${cur^^}")) ;;
    Format) COMPREPLY+=($(compgen -W "text json" -- "$cur")) ;;
    Command) COMPREPLY+=($(compgen -W "$_allocfix_commands" -- "$cur")) ;;
    AccountSet)
        [[ $cur == postgresql:* || $cur == sqlite:* ]] && return
        _allocfix_files "$cur" "${_allocfix_account_sets// /,}"
        ;;
    File:*) _allocfix_files "$cur" "${kind#File:}" ;;
    esac
}

# The kind of value an option of a command takes, empty for a flag.
_allocfix_value_kind() {
    local list=_allocfix_values_$1 entry
    for entry in ${!list}; do
        if [[ ${entry%%=*} == "$2" ]]; then
            echo "${entry#*=}"
            return
        fi
    done
}

_allocfix() {
    local cur=${COMP_WORDS[COMP_CWORD]} key=_ command='' expect='' positional=0 i word
    COMPREPLY=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -n $expect ]]; then
            expect=
            [[ $word == = ]] && expect=pending
            continue
        fi
        case $word in
        -*) expect=$(_allocfix_value_kind "$key" "$word") ;;
        *)
            if [[ -z $command && $positional -eq 0 && " $_allocfix_commands " == *" $word "* ]]; then
                command=$word
                key=$word
            else
                ((positional++))
            fi
            ;;
        esac
    done
    # "--language=" reaches us as "--language" "=" "".
    if [[ $cur == = ]]; then
        cur=
        expect=$(_allocfix_value_kind "$key" "${COMP_WORDS[COMP_CWORD - 1]}")
    elif [[ ${COMP_WORDS[COMP_CWORD - 1]} == = ]] && ((COMP_CWORD >= 2)); then
        expect=$(_allocfix_value_kind "$key" "${COMP_WORDS[COMP_CWORD - 2]}")
    fi
    if [[ -n $expect && $expect != pending ]]; then
        _allocfix_values "$expect" "$cur"
        return
    fi
    if [[ $cur == -* ]]; then
        local options=_allocfix_options_$key
        COMPREPLY=($(compgen -W "${!options}" -- "$cur"))
        return
    fi
    if [[ -z $command && $positional -eq 0 ]]; then
        COMPREPLY=($(compgen -W "$_allocfix_commands" -- "$cur"))
    fi
    local arguments=_allocfix_arguments_$key
    local kinds=(${!arguments})
    ((${#kinds[@]})) || return
    ((positional < ${#kinds[@]})) || positional=$((${#kinds[@]} - 1))
    _allocfix_values "${kinds[positional]}" "$cur"
}

complete -F _allocfix allocfix
