-- Neovim's built-in client, set up by editors/neovim.lua, against `kestcmd lsp`: diagnostics of
-- a job with mistakes, then a definition, a hover, completion items, the document symbols and
-- the formatting, which must lay the buffer out as `kestcmd fmt` lays out the file; omnifunc and
-- the keymaps of the set-up are in place (gd is followed to the definition).
--   KESTCMD=build/tools/kestcmd JOB=tests/tools/lsp_mistakes.par SETUP=editors/neovim.lua \
--     nvim --headless -u NONE -c 'luafile tests/tools/lsp_nvim.lua'
local timeout = 10000

local function check(ok, what)
  if not ok then
    error(what, 2)
  end
end

local function request(bufnr, client, method, params)
  local answers = vim.lsp.buf_request_sync(bufnr, method, params, timeout)
  check(answers and answers[client] and answers[client].result, method .. ' gave no result')
  return answers[client].result
end

local function at(bufnr, line, character)
  return { textDocument = vim.lsp.util.make_text_document_params(bufnr),
           position = { line = line, character = character } }
end

local function run()
  vim.g.kestcmd = vim.env.KESTCMD
  dofile(vim.env.SETUP)
  vim.cmd('edit ' .. vim.fn.fnameescape(vim.env.JOB))
  local bufnr = vim.api.nvim_get_current_buf()
  check(vim.wait(timeout, function() return next(vim.lsp.buf_get_clients(bufnr)) end),
        'the server did not start')
  local client = next(vim.lsp.buf_get_clients(bufnr))

  check(vim.wait(timeout, function() return #vim.diagnostic.get(bufnr) > 0 end),
        'no diagnostics arrived')
  local found = {}
  for _, d in ipairs(vim.diagnostic.get(bufnr)) do
    table.insert(found, string.format('%d:%d %s', d.lnum + 1, d.col + 1, d.code))
  end
  table.sort(found)
  check(table.concat(found, ' ') == '28:11 unknown-name 29:3 unknown-key 32:1 unknown-keyword '
        .. '39:13 duplicate-name', 'diagnostics: ' .. table.concat(found, ' '))

  -- DRESP = volume (line 34) is defined on line 21.
  local definition = request(bufnr, client, 'textDocument/definition', at(bufnr, 33, 11))
  check(definition.range.start.line == 20 and definition.range.start.character == 14,
        'definition: ' .. vim.inspect(definition))

  local hover = request(bufnr, client, 'textDocument/hover', at(bufnr, 9, 16)).contents.value
  check(hover:find('integer list: 12751 values, first 1, last 14000, 2 runs', 1, true),
        'hover: ' .. hover)

  local labels = {}
  for _, item in ipairs(request(bufnr, client, 'textDocument/completion', at(bufnr, 27, 10))) do
    table.insert(labels, item.label)
  end
  table.sort(labels)
  check(table.concat(labels, ' ') == 'compliance volume',
        'completion: ' .. table.concat(labels, ' '))

  local symbols = {}
  for _, symbol in ipairs(request(bufnr, client, 'textDocument/documentSymbol',
                                  { textDocument = at(bufnr, 0, 0).textDocument })) do
    table.insert(symbols, symbol.name)
  end
  check(table.concat(symbols, ' ') ==
        'bracket design_space compliance volume min_compliance volume_limit compliance',
        'symbols: ' .. table.concat(symbols, ' '))

  check(vim.bo[bufnr].omnifunc == 'v:lua.vim.lsp.omnifunc', 'omnifunc: ' .. vim.bo[bufnr].omnifunc)
  for _, lhs in ipairs({ 'gd', 'gr', 'K', '<leader>rn', '<leader>ca', '<leader>f' }) do
    check(vim.fn.maparg(lhs, 'n') ~= '', 'no keymap ' .. lhs)
  end
  vim.api.nvim_win_set_cursor(0, { 34, 11 })
  vim.api.nvim_feedkeys('gd', 'x', false)
  check(vim.wait(timeout, function() return vim.api.nvim_win_get_cursor(0)[1] == 21 end),
        'gd went to line ' .. vim.api.nvim_win_get_cursor(0)[1])

  vim.lsp.buf.formatting_sync(nil, timeout)
  local buffer = table.concat(vim.api.nvim_buf_get_lines(bufnr, 0, -1, false), '\n') .. '\n'
  local laid_out = vim.fn.system({ vim.env.KESTCMD, 'fmt', vim.env.JOB })
  check(vim.v.shell_error == 0 and buffer == laid_out, 'formatting gave:\n' .. buffer)
end

local ok, failure = pcall(run)
if ok then
  io.stderr:write('kestcmd lsp under Neovim: all checks passed\n')
  vim.cmd('qall!')
else
  io.stderr:write('kestcmd lsp under Neovim: ' .. tostring(failure) .. '\n')
  vim.cmd('cquit 1')
end
